// Status messages: the alert and the two success notices, built as Popup Requests and handed to
// whatever delivers them (the popup windows in the program, a recorder in tests, stderr in tools).
#pragma once
#include <cstdint>
#include <string_view>

constexpr int kPopupTextMax = 64;

struct PopupRequest {
    int32_t fadeInMs = 0;
    int32_t holdMs = 0;
    int32_t fadeOutMs = 0;
    int32_t centred = 0;      // non-zero: centred on the screen; zero: near the bottom edge
    uint32_t background = 0;  // 0x00BBGGRR
    uint8_t slide = 0;        // non-zero: slides in from below, opaque; zero: fades in place
    char16_t text[kPopupTextMax + 1] = {};
};

enum class PopupTarget { Alert, Notice };

using PopupDelivery = void (*)(PopupTarget target, const PopupRequest& request);

// Installs the delivery hook (nullptr drops messages). Returns the previous hook.
PopupDelivery SetPopupDelivery(PopupDelivery delivery);

void ShowAlert(std::u16string_view text);
void ShowEquipNotice(int kind);
void ShowSavedNotice(std::u16string_view path);

// Fixed alert texts raised by more than one place.
inline constexpr char16_t kAlertNoTooltip[] = u"툴팁을 발견하지 못하였음.";
inline constexpr char16_t kAlertUnknownKind[] = u"아이템 종류 식별 불가.";
inline constexpr char16_t kAlertNoWeaponLine[] = u"무기 고유 옵션 발견 못함.";
inline constexpr char16_t kAlertNoSlot[] = u"slot index를 결정할 수 없음";
// Setups the reader cannot handle, named instead of "not found".
inline constexpr char16_t kAlertScaledCapture[] = u"캡처가 화면 크기와 다름: 디스플레이 배율을 100%로 하세요.";
inline constexpr char16_t kAlertBlackCapture[] = u"캡처가 온통 검정: 게임을 창 모드로 실행하세요.";
inline constexpr char16_t kAlertPackMismatch[] = u"글자 그림이 이 화면과 맞지 않음: 글자 팩을 만드세요.";
inline constexpr char16_t kAlertKindNearLimit[] = u"종류 글자가 허용 오차를 조금 넘음: 오차 슬라이더를 올리세요.";
