// What the learner has to say about a tooltip (what it learned, what disagreed, why a tooltip waits,
// what went wrong) as plain records: a code and its arguments. The command line writes them in
// English (MessageText); the program's dialog writes them in its own words from the same records.
#pragma once
#include <string>
#include <vector>

enum LearnCode {
    // What was learned.
    kLearnedPicture,  // picture from `at`; `guessed`: placed in its cell by a guess; `replaces` a guess
    kLearnedLayout,   // layout `field` = a
    // Disagreements: the pack's own is kept.
    kDiffersFromPack,  // picture cut from `at` differs from the pack's
    kDiffersFromCut,   // picture cut from `at` differs from the one cut from `from`
    kLayoutDiffers,    // layout `field` measures a on `at.tooltip`, the pack has b
    // What a tooltip could not teach.
    kNoKindCaption,
    kTooManyPending,     // only the first a kept tooltips are tried
    kPendingUnreadable,  // the kept tooltip `at.tooltip` cannot be read (`text`: why, in English)
    kLeftAside,          // the kept tooltip `at.tooltip` is left aside, for `cause[0]`
    kMisread,            // it does not read back as described (`cause[0]`, when given: the first shortfall)
    // Reading the tooltip back falls short.
    kKindReadsAs,  // the kind reads as a, described b
    kStatReadsAs,  // stat a reads as `got`, described `want`
    // Why a tooltip waits for later ones.
    kDigitSpacingUnsure,
    kPointSpacingUnsure,  // at `at`
    kTildeSpacingUnsure,  // at `at`
    kPlacedByGuess,       // the number `text` at `at` stands in its cells by a guess
    kCannotPlace,         // the number `text` at `at` cannot be placed on the digit grid yet
    // Why a tooltip cannot be learned as described (`at.tooltip` names a kept one).
    kNoTooltip,
    kNoOptionLine,
    kBlankBullet,
    kNoBulletLine,
    kNoBulletedLines,  // found no a lines beginning with the same bullet
    kLineCount,        // the tooltip shows a bulleted lines, b described
    kRowOutOfRange,    // line `at.line`
    kNotANumber,       // line `at.line`: `text` is not a number as drawn
    kNotARange,        // line `at.line`
    kCaptionLeft,      // line `at.line`
    kNoSpeedLine,      // no line ends in the white attacks per second `text`
    kSocketsNeedLines,
    kSocketCount,  // found a empty sockets, b described
    kKindOutOfRange,
    kWeaponNumbers,
    kLineHeight,
    kNoGrid,
    kNoRoom,  // `at` has no room for `text`
    kBuiltInMissing,
    // The pack folder: `file` is what failed, `text` the lower layer's words (English).
    kPackUnreadable,
    kPackUnwritable,
    kLearnCodeCount
};

// Where on the tooltips of a lesson.
enum LearnSpot {
    kSpotNone,
    kSpotLine,        // option line `line`, from 1
    kSpotSpeedLine,   // the attacks-per-second line
    kSpotDamageLine,  // the weapon's damage line
    kSpotTooltip,     // the tooltip as a whole
    kSpotKindCaption,
    kSpotEmptySocket,
};

struct LearnPlace {
    std::string tooltip{};  // a kept tooltip ("pending/0001"); empty for the one being taught
    LearnSpot spot = kSpotNone;
    int line = 0;
};

struct LearnMessage {
    LearnCode code = kNoTooltip;
    LearnPlace at{}, from{};
    int picture = -1;  // template index
    int field = -1;    // layout field
    int a = 0, b = 0;
    float got = 0, want = 0;
    std::string text{};  // a number or value as described, or words of a lower layer
    std::string file{};  // a file or folder
    bool guessed = false, replaces = false;
    std::vector<LearnMessage> cause{};  // the message this one wraps, when it wraps one
};

// A tooltip the pack folder keeps until later tooltips settle the digit grid, with why it waits
// (none when it was not tried this time), or one left aside this time with the reason in `why`.
struct PendingTooltip {
    std::string name;  // "pending/0001"
    std::vector<LearnMessage> why{};
    bool leftAside = false;
};

// The English texts of the command line.
std::string MessageText(const LearnMessage& message);
std::vector<std::string> MessageTexts(const std::vector<LearnMessage>& messages);
// Reasons joined by "; ".
std::string ReasonsText(const std::vector<LearnMessage>& reasons);
std::string PendingText(const PendingTooltip& pending);
// A name of template `index` for reports, e.g. "blue digit 7 (134.bmp)".
std::string PictureName(int index);

// The folder failure `code` from the lower layer's words `detail`, naming the file of `folder`
// that the words begin with, or else the folder.
LearnMessage PackFailure(LearnCode code, const std::string& folder, const std::string& detail);
