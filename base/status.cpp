// Status messages.
#include "base/status.h"

#include <atomic>

#include "base/catalogue.h"
#include "base/pixels.h"

namespace {

std::atomic<PopupDelivery> gDelivery{nullptr};

// Copies as much of `parts` as fits the 64-character text field.
void SetText(PopupRequest& request, std::u16string_view first, std::u16string_view second = {}) {
    size_t n = 0;
    for (std::u16string_view part : {first, second})
        for (char16_t c : part)
            if (n < kPopupTextMax) request.text[n++] = c;
    // A cut through a surrogate pair would leave half a character; drop the half.
    if (n == kPopupTextMax && (request.text[n - 1] & 0xFC00) == 0xD800) --n;
    request.text[n] = 0;
}

void Deliver(PopupTarget target, const PopupRequest& request) {
    if (PopupDelivery deliver = gDelivery.load()) deliver(target, request);
}

PopupRequest Notice(int32_t holdMs, uint32_t background) {
    PopupRequest r;
    r.fadeInMs = 300, r.holdMs = holdMs, r.fadeOutMs = 300;
    r.centred = 0, r.background = background, r.slide = 1;
    return r;
}

}  // namespace

PopupDelivery SetPopupDelivery(PopupDelivery delivery) {
    return gDelivery.exchange(delivery);
}

void ShowAlert(std::u16string_view text) {
    PopupRequest r;
    r.fadeInMs = 100, r.holdMs = 1000, r.fadeOutMs = 100;
    r.centred = 1, r.background = RgbValue(255, 153, 153), r.slide = 0;
    SetText(r, text);
    Deliver(PopupTarget::Alert, r);
}

void ShowEquipNotice(int kind) {
    PopupRequest r = Notice(1000, RgbValue(130, 212, 255));
    const char16_t* name = KindName(kind);
    SetText(r, u"장비 정보 입력이 완료 되었습니다. - ", name ? name : u"");
    Deliver(PopupTarget::Notice, r);
}

void ShowSavedNotice(std::u16string_view path) {
    PopupRequest r = Notice(2000, RgbValue(153, 255, 153));
    size_t slash = path.find_last_of(u'\\');
    SetText(r, slash == std::u16string_view::npos ? path : path.substr(slash + 1),
            u" 이미지 파일로 저장 되었습니다.");
    Deliver(PopupTarget::Notice, r);
}
