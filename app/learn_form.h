// The glyph pack dialog as plain data: its form (the kind, each bulleted line's option and value,
// the weapon lines, the empty sockets), filled from a first guess at the tooltip, turned into the
// description the learner takes, and the Korean texts the dialog shows about it.
#pragma once
#include <string>

#include "base/item.h"
#include "reader/glyph_pack.h"
#include "reader/pack_teach.h"

constexpr int kLearnRows = 16;  // option lines the form has room for

struct LearnForm {
    int kind = -1;      // -1: not chosen
    int lineCount = 0;  // bulleted lines found in the tooltip; rows from here on are not used
    int rows[kLearnRows] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // -1: "—"
    std::string values[kLearnRows];  // as drawn: "82", "9.5", "107~346"
    std::string attacksPerSecond;    // "1.40"; weapon kinds only
    std::string damage;              // "712~1039"; weapon kinds only
    std::string emptySockets;        // a count; empty means none
};

// The form as the guess fills it in.
LearnForm FormFromGuess(const TooltipGuess& guess);

// The description the learner takes. False with what the player must fix first (Korean).
// Surrounding blanks are ignored; lines beyond the form's rows are described as unknown.
bool DescribeForm(const LearnForm& form, LearnTooltip& what, std::string& problem);

// Fields the description uses: the kind, the option of every line and the value of every line
// with an option, the two weapon lines for a weapon, the empty sockets.
int FormFields(const LearnForm& form);
// Fields that hold something (a kind, an option, a value, a weapon line, a count of empty sockets).
int FieldsFilled(const LearnForm& form);
// Fields that differ from the guess: what the player filled in or corrected by hand.
int FieldsByHand(const LearnForm& guessed, const LearnForm& described);

// Where the dialog's picture and numbers came from, for its texts.
struct LearnSource {
    bool openedFile = false;                  // a file the player opened, rather than the last capture
    std::string file;                         // that file
    int pictureWidth = 0, pictureHeight = 0;  // the opened file's own size
    int screenWidth = 0, screenHeight = 0;    // the size the pack is for
    std::string folder;                       // the pack folder of that size
    int packPictures = 0;                     // pictures the folder holds (0: none yet)
    std::string packError;                    // why the folder could not be read (the built-in pack reads)
};

// What the dialog says on opening: where the tooltip and the pack come from, what the guess
// filled in, and what to do. `guessError` is set when the guess found no option line.
std::string IntroText(const LearnSource& source, const LearnForm& guessed, const std::string& guessError);

// What the dialog says after "배우기": what was learned (the folder before and after), what
// disagreed, the pending tooltips, what the pack still lacks, the read-back record against the
// description, and the fields filled by hand.
std::string TeachText(const LearnSource& source, const TeachOutcome& outcome, const PackContents& before,
                      const PackContents& after, const LearnTooltip& what, int byHand, int fields);

// A record as the player reads it: the kind's name, then every stat that is not 0 with its name.
std::string RecordText(const ItemRecord& record);

// Whether learning can write the pack folder: it, or the nearest folder above it that exists (the
// rest is made), takes a new file. Leaves nothing behind.
bool FolderWritable(const std::string& folder);
