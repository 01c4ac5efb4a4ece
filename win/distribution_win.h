// The program's distribution page: opened by the menu item "도움말" and the about box's link.
#pragma once

inline constexpr wchar_t kDistributionPage[] = L"https://tallywick.github.io/";
