// Status messages: the Popup Request each operation fills and where it goes.
#include "base/status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/catalogue.h"
#include "base/pixels.h"

namespace {

struct Delivered {
    PopupTarget target;
    PopupRequest request;
};
std::vector<Delivered> gDelivered;

void Record(PopupTarget target, const PopupRequest& request) {
    gDelivered.push_back({target, request});
}

class Status : public ::testing::Test {
protected:
    void SetUp() override {
        gDelivered.clear();
        previous_ = SetPopupDelivery(Record);
    }
    void TearDown() override { SetPopupDelivery(previous_); }
    static const Delivered& Only() {
        EXPECT_EQ(gDelivered.size(), 1u);
        return gDelivered.back();
    }
    static std::u16string Text(const PopupRequest& r) { return r.text; }

private:
    PopupDelivery previous_ = nullptr;
};

TEST_F(Status, AlertIsCentredRedAndFades) {
    ShowAlert(u"툴팁을 발견하지 못하였음.");
    const Delivered& d = Only();
    EXPECT_EQ(d.target, PopupTarget::Alert);
    EXPECT_EQ(d.request.fadeInMs, 100);
    EXPECT_EQ(d.request.holdMs, 1000);
    EXPECT_EQ(d.request.fadeOutMs, 100);
    EXPECT_NE(d.request.centred, 0);
    EXPECT_EQ(d.request.background, RgbValue(255, 153, 153));
    EXPECT_EQ(d.request.background, 0x9999FFu);
    EXPECT_EQ(d.request.slide, 0);
    EXPECT_EQ(Text(d.request), u"툴팁을 발견하지 못하였음.");
}

TEST_F(Status, EquipNoticeNamesTheKind) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        gDelivered.clear();
        ShowEquipNotice(kind);
        const Delivered& d = Only();
        EXPECT_EQ(d.target, PopupTarget::Notice);
        EXPECT_EQ(d.request.fadeInMs, 300);
        EXPECT_EQ(d.request.holdMs, 1000);
        EXPECT_EQ(d.request.fadeOutMs, 300);
        EXPECT_EQ(d.request.centred, 0);
        EXPECT_EQ(d.request.background, RgbValue(130, 212, 255));
        EXPECT_EQ(d.request.slide, 1);
        EXPECT_EQ(Text(d.request), std::u16string(u"장비 정보 입력이 완료 되었습니다. - ") + KindName(kind));
    }
    gDelivered.clear();
    ShowEquipNotice(4);
    EXPECT_EQ(Text(Only().request), u"장비 정보 입력이 완료 되었습니다. - 반지");
}

TEST_F(Status, SavedNoticeShowsOnlyTheFileName) {
    ShowSavedNotice(u"C:\\Users\\player\\Pictures\\sample.jpg");
    const Delivered& d = Only();
    EXPECT_EQ(d.target, PopupTarget::Notice);
    EXPECT_EQ(d.request.fadeInMs, 300);
    EXPECT_EQ(d.request.holdMs, 2000);
    EXPECT_EQ(d.request.fadeOutMs, 300);
    EXPECT_EQ(d.request.centred, 0);
    EXPECT_EQ(d.request.background, RgbValue(153, 255, 153));
    EXPECT_EQ(d.request.slide, 1);
    EXPECT_EQ(Text(d.request), u"sample.jpg 이미지 파일로 저장 되었습니다.");

    gDelivered.clear();
    ShowSavedNotice(u"D3Item_0001.bmp");
    EXPECT_EQ(Text(Only().request), u"D3Item_0001.bmp 이미지 파일로 저장 되었습니다.");
    gDelivered.clear();
    ShowSavedNotice(u"C:\\folder\\");
    EXPECT_EQ(Text(Only().request), u" 이미지 파일로 저장 되었습니다.");
}

TEST_F(Status, TextIsCutToSixtyFourCharacters) {
    const std::u16string exact(kPopupTextMax, u'가');
    ShowAlert(exact);
    EXPECT_EQ(Text(gDelivered.back().request), exact);
    ShowAlert(exact + u"나다");
    EXPECT_EQ(Text(gDelivered.back().request), exact);
    EXPECT_EQ(gDelivered.back().request.text[kPopupTextMax], 0);

    const std::u16string name(60, u'x');
    ShowSavedNotice(u"C:\\" + name + u".jpg");
    EXPECT_EQ(Text(gDelivered.back().request), (name + u".jpg 이미지 파일로 저장 되었습니다.").substr(0, 64));
}

TEST_F(Status, CutNeverSplitsASurrogatePair) {
    // 63 characters, then a character outside the basic plane that needs two code units.
    const std::u16string text = std::u16string(63, u'a') + u"\U0001F600";
    ShowAlert(text);
    EXPECT_EQ(Text(gDelivered.back().request), std::u16string(63, u'a'));
    ShowAlert(std::u16string(62, u'a') + u"\U0001F600");
    EXPECT_EQ(Text(gDelivered.back().request), std::u16string(62, u'a') + u"\U0001F600");
}

TEST_F(Status, EachMessageIsDeliveredOnItsOwn) {
    ShowAlert(u"첫째");
    ShowAlert(u"둘째");
    ASSERT_EQ(gDelivered.size(), 2u);
    EXPECT_EQ(Text(gDelivered[1].request), u"둘째");
}

TEST_F(Status, WithoutDeliveryMessagesAreDropped) {
    EXPECT_EQ(SetPopupDelivery(nullptr), Record);
    ShowAlert(u"x");
    ShowEquipNotice(99);  // no name for an unknown kind, no crash
    EXPECT_TRUE(gDelivered.empty());
    EXPECT_EQ(SetPopupDelivery(Record), nullptr);
    ShowEquipNotice(99);
    EXPECT_EQ(Text(Only().request), u"장비 정보 입력이 완료 되었습니다. - ");
}

}  // namespace
