// The learner's messages in the program's own words, for the glyph pack dialog: every message the
// learner makes, the pictures and places they name, the stats and kinds of a record.
#pragma once
#include <string>
#include <vector>

#include "reader/learn_message.h"
#include "reader/pack_missing.h"

std::string KoreanText(const LearnMessage& message);
// "파란 숫자 7 (134.bmp)", "흰 점 (…)", "옵션 이름 '지능' (…)", "종류 이름 '반지' (…)".
std::string KoreanPictureName(int index);
// A kept tooltip as the player finds it in the pack folder: "pending\0001.bmp".
std::string KoreanTooltipName(const std::string& name);
// A kept tooltip, then why it waits or was left aside, one line each, the same reason once.
std::vector<std::string> KoreanPendingLines(const PendingTooltip& pending);
// What a pack lacks, one indented line each: blue and white digits, marks, captions and kinds
// counted, layout values.
std::string KoreanMissingText(const PackMissing& missing);

// The names the pages give stats and kinds ("지능", "반지"); "종류 알 수 없음" for no kind.
std::string KoreanStatName(int stat);
std::string KoreanKindName(int kind);
// A stat as the pages show it: no trailing zeros after the point.
std::string StatValueText(float value);
