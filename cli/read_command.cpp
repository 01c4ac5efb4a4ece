// tallywick-cli read: locate the tooltip in a screen picture, parse it, print the Item Record.
#include <algorithm>
#include <charconv>
#include <mutex>

#include "base/catalogue.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "cli/commands.h"
#include "cli/image_file.h"
#include "cli/json.h"
#include "reader/glyphs.h"
#include "reader/locator.h"
#include "reader/parser.h"

const char kReadUsage[] =
    "read IMAGE [--set equip|compare] [--socket-options E_WEAPON,E_HELM,E_OTHER,C_WEAPON,C_HELM,C_OTHER] "
    "[--error-limit KIND,OPTION,VALUE] [--main-attribute 5|6|7]";

namespace {

// Comma-separated integers, exactly `count` of them, each within [lo, hi].
bool ParseList(const std::string& text, int32_t* values, int count, int32_t lo, int32_t hi) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < count; ++i) {
        auto [next, ec] = std::from_chars(p, end, values[i]);
        if (ec != std::errc() || values[i] < lo || values[i] > hi) return false;
        p = next;
        if (i + 1 < count) {
            if (p == end || *p != ',') return false;
            ++p;
        }
    }
    return p == end;
}

bool ParseOptions(const std::vector<std::string>& args, std::string& image, ReadOptions& o,
                  std::string& why) {
    bool seen[4] = {};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (!image.empty()) return why = "more than one image given", false;
            image = a;
            continue;
        }
        static const char* const kFlags[] = {"--set", "--socket-options", "--error-limit",
                                             "--main-attribute"};
        int flag = -1;
        for (int f = 0; f < 4; ++f)
            if (a == kFlags[f]) flag = f;
        if (flag < 0) return why = "unknown option " + a, false;
        if (seen[flag]) return why = a + " given twice", false;
        if (i + 1 >= args.size()) return why = a + " needs a value", false;
        seen[flag] = true;
        const std::string& v = args[++i];
        bool ok = true;
        switch (flag) {
            case 0:
                ok = v == "equip" || v == "compare";
                o.set = v == "equip" ? 1 : 0;
                break;
            case 1:
                ok = ParseList(v, o.socketOptions, 6, 0, 3);
                break;
            case 2:
                ok = ParseList(v, o.errorLimit, 3, 0, 1000);
                break;
            case 3:
                ok = ParseList(v, &o.mainAttribute, 1, 5, 7);
                break;
        }
        if (!ok) return why = "bad value for " + a + ": " + v, false;
    }
    if (image.empty()) return why = "no image given", false;
    return true;
}

std::vector<std::u16string> gAlerts;

void CollectAlert(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

}  // namespace

bool EnsureGlyphs(std::string& error) {
    static std::once_flag once;
    static bool loaded = false;
    static std::string why;
    std::call_once(once, [] { loaded = LoadGlyphTemplates(why); });
    error = why;
    return loaded;
}

int RunRead(const std::vector<std::string>& args, std::string& out, std::string& err) {
    ReadOptions o;
    std::string image, why;
    if (!ParseOptions(args, image, o, why)) {
        err = "tallywick-cli: " + why + "\nusage: tallywick-cli " + kReadUsage + "\n";
        return kExitUsage;
    }
    PixelBuffer screen;
    if (!LoadImageFile(image, screen, why)) {
        err = "tallywick-cli: " + image + ": " + why + "\n";
        return kExitUsage;
    }
    if (!EnsureGlyphs(why)) {
        err = "tallywick-cli: glyph set: " + why + "\n";
        return kExitUsage;
    }
    return ReadScreen(screen, o, out);
}

int ReadScreen(const PixelBuffer& screen, const ReadOptions& o, std::string& out, ItemRecord* itemOut) {
    std::copy(std::begin(o.socketOptions), std::end(o.socketOptions), gSettings.socketOptions);
    std::copy(std::begin(o.errorLimit), std::end(o.errorLimit), gSettings.errorLimit);
    gProfile.mainAttribute = o.mainAttribute;

    gAlerts.clear();
    PopupDelivery previous = SetPopupDelivery(CollectAlert);
    PixelBuffer tooltip;
    TooltipRect rect;
    const bool found = LocateTooltip(screen, tooltip, nullptr, &rect);
    const ItemRecord item = found ? ParseItem(&tooltip, o.set) : UnidentifiedItem();
    SetPopupDelivery(previous);

    out = "{\"tooltip\":";
    if (found)
        out += "{\"x\":" + std::to_string(rect.x) + ",\"y\":" + std::to_string(rect.y) +
               ",\"width\":" + std::to_string(rect.width) + ",\"height\":" + std::to_string(rect.height) +
               "}";
    else
        out += "null";
    const char16_t* name = KindName(item.kind);
    out += ",\"kind\":" + std::to_string(item.kind) + ",\"kind_name\":" + (name ? JsonString(name) : "null");
    out += ",\"stats\":[";
    for (int s = 0; s < kStatCount; ++s) {
        if (s) out += ',';
        out += JsonFloat(item.stats[s]);
    }
    out += "],\"alerts\":[";
    for (size_t i = 0; i < gAlerts.size(); ++i) {
        if (i) out += ',';
        out += JsonString(gAlerts[i]);
    }
    out += "]}\n";
    if (itemOut) *itemOut = item;
    return item.kind >= 0 ? kExitOk : kExitNotRead;
}
