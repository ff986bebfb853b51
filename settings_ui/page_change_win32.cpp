// The page "張り替えかた": how and when the wallpaper is changed. Left column "共通" (both
// programs), upper right "常駐版" (Vorelset), lower right "非常駐版" (Vorelrun).
#include <array>

#include "settings_ui/form_main_win32.h"
#include "settings_ui/table_page_win32.h"

namespace vorel {
namespace {

using K = ControlKind;

const std::array kRows{
    ControlRow{"Label1", K::kHeading, "共通", "", {4, 0, 80, 22}, false},
    ControlRow{"CheckBoxTile", K::kCheckBox, "タイル表示", "タイル表示か中央に一つだけかを選びます", {10, 24, 200, 16}},
    ControlRow{
        "CheckBoxResize", K::kCheckBox, "拡大縮小する", "画面に収まる範囲で目いっぱい広げます", {10, 42, 200, 16}},
    ControlRow{"CheckBoxResizeOver",
               K::kCheckBox,
               "はみ出たときだけ縮小する",
               "画像ファイルが大きすぎたときに小さくして画像を収めます",
               {10, 60, 220, 16}},
    ControlRow{
        "CheckBoxScreen", K::kCheckBox, "壁紙に空きを作る", "周りに空白をあけて画像を表示します", {10, 78, 200, 16}},
    ControlRow{"LabelScreenY", K::kLabel, "上下", "上下の空間隔です", {22, 101, 26, 14}, false},
    ControlRow{"MemoScreenY", K::kNumeric, "0", "上下の空間隔です", {48, 96, 50, 24}},
    ControlRow{"ButtonScreenYUp", K::kArrow, "▲", "上下の空間隔です", {98, 96, 16, 12}, false},
    ControlRow{"ButtonScreenYDown", K::kArrow, "▼", "上下の空間隔です", {98, 108, 16, 12}, false},
    ControlRow{"LabelScreenX", K::kLabel, "左右", "左右の空間隔です", {128, 101, 26, 14}, false},
    ControlRow{"MemoScreenX", K::kNumeric, "0", "左右の空間隔です", {154, 96, 50, 24}},
    ControlRow{"ButtonScreenXUp", K::kArrow, "▲", "左右の空間隔です", {204, 96, 16, 12}, false},
    ControlRow{"ButtonScreenXDown", K::kArrow, "▼", "左右の空間隔です", {204, 108, 16, 12}, false},
    ControlRow{"RadioGroupType",
               K::kRadioGroup,
               "切り替え方法",
               "画面を書き換えるときの方法を決めます",
               {4, 124, 232, 38},
               true,
               "ランダム\n順番通り",
               2},
    ControlRow{"RadioGroupPosition",
               K::kRadioGroup,
               "壁紙の位置",
               "",
               {4, 164, 232, 70},
               true,
               "左上\n左\n左下\n上\n中央\n下\n右上\n右\n右下",
               3},
    ControlRow{"Label2", K::kHeading, "常駐版", "", {244, 0, 100, 22}, false},
    ControlRow{"CheckBoxStart",
               K::kCheckBox,
               "起動したときに書き換える",
               "ソフトウェアが立ち上がったときに壁紙を張り替えます",
               {250, 24, 230, 16}},
    ControlRow{"CheckBoxShade",
               K::kCheckBox,
               "終了時に壁紙を消す",
               "次に起動する時に壁紙が現れないので，立ち上げ時に見られたくなければ．．．",
               {250, 42, 230, 16}},
    ControlRow{"CheckBoxChangeDay",
               K::kCheckBox,
               "日付が変わったら書き換える",
               "０時になったら書き換えます",
               {250, 60, 230, 16}},
    ControlRow{"CheckBoxChangeTime",
               K::kCheckBox,
               "一定時間で書き換え",
               "時間がたったら壁紙を張り替えます",
               {250, 78, 230, 16}},
    ControlRow{"LabelTime", K::kLabel, "書き換え間隔", "壁紙を張りかえる時間間隔です", {264, 101, 72, 14}, false},
    ControlRow{"MemoTimeInterval", K::kNumeric, "60", "壁紙を張りかえる時間間隔です", {336, 96, 56, 24}},
    ControlRow{"ButtonTimeIntervalUp",
               K::kArrow,
               "▲",
               "壁紙を張りかえる時間間隔を10秒だけ伸ばします",
               {392, 96, 16, 12},
               false},
    ControlRow{"ButtonTimeIntervalDown",
               K::kArrow,
               "▼",
               "壁紙を張りかえる時間間隔を10秒だけ縮めます",
               {392, 108, 16, 12},
               false},
    ControlRow{"LabelTimeOrder", K::kLabel, "sec", "", {412, 101, 24, 14}, false},
    ControlRow{"RadioGroupLeftClick",
               K::kRadioGroup,
               "左クリックしたときの動作",
               "タスクバーのアイコンをクリックした時の動作を決めます",
               {244, 122, 236, 78},
               true,
               "壁紙を消す(ボスが来た!!)\n壁紙を張りかえる\n書き換え一時停止\nスクリーンセーバーの起動",
               1},
    ControlRow{"Label3", K::kHeading, "非常駐版", "", {244, 202, 100, 22}, false},
    ControlRow{"CheckBoxVorelrun",
               K::kCheckBox,
               "次回起動時の壁紙を変更する",
               "チェックすると，立ち上がったときに画面を書き換えるような醜い事は無くなります",
               {250, 224, 230, 16}},
    ControlRow{"LabelDelay", K::kLabel, "遅延書き換え", "少し待ってから書き換えます", {264, 247, 72, 14}, false},
    ControlRow{"MemoDelay", K::kNumeric, "0", "待つ時間です", {336, 242, 56, 24}},
    ControlRow{"ButtonDelayUp", K::kArrow, "▲", "待つ時間です", {392, 242, 16, 12}, false},
    ControlRow{"ButtonDelayDown", K::kArrow, "▼", "待つ時間です", {392, 254, 16, 12}, false},
    ControlRow{"Label11", K::kLabel, "sec", "待つ時間です", {412, 247, 24, 14}, false},
};

constexpr std::array kMarginControls{"LabelScreenY",      "MemoScreenY",     "ButtonScreenYUp", "ButtonScreenYDown",
                                     "ButtonScreenXDown", "ButtonScreenXUp", "MemoScreenX",     "LabelScreenX"};

class ChangePage final : public TablePage {
 public:
  std::span<const ControlRow> Rows() const override { return kRows; }

  void ShowModel() override {
    const Settings& s = form_->Model();
    controls_.SetChecked("CheckBoxTile", s.tile);
    controls_.SetChecked("CheckBoxResize", s.resize);
    controls_.SetChecked("CheckBoxResizeOver", s.resizeOver);
    controls_.SetChecked("CheckBoxScreen", s.screen);
    Field("ScreenX").Show(s.screenX);
    Field("ScreenY").Show(s.screenY);
    controls_.SetRadioIndex("RadioGroupType", s.inOrder ? 1 : 0);
    controls_.SetRadioIndex("RadioGroupPosition", s.position);
    controls_.SetChecked("CheckBoxStart", s.start);
    controls_.SetChecked("CheckBoxShade", s.shade);
    controls_.SetChecked("CheckBoxChangeDay", s.day);
    controls_.SetChecked("CheckBoxChangeTime", s.interval);
    Field("TimeInterval").Show(s.changeTime);
    controls_.SetRadioIndex("RadioGroupLeftClick", s.click);
    controls_.SetChecked("CheckBoxVorelrun", s.vorelrun);
    Field("Delay").Show(s.delayTime);
    EnableMargins();
  }

 protected:
  void ControlsCreated() override {
    Settings* s = &form_->Model();
    TFormMain* form = form_;
    AddField(
        "TimeInterval", [] { return kIntervalRange; }, kIntervalStep,
        [s, form](int32_t v) {
          s->changeTime = v;
          form->MemoTimeIntervalExit();
        });
    AddField(
        "Delay", [] { return kDelayRange; }, kDelayStep, [s](int32_t v) { s->delayTime = v; });
    AddField("ScreenX", HalfScreenWidth, 1, [s](int32_t v) { s->screenX = v; });
    AddField("ScreenY", HalfScreenHeight, 1, [s](int32_t v) { s->screenY = v; });
  }

  void Command(const std::string& name, int code, int radio) override {
    if (code != BN_CLICKED) return;
    Settings& s = form_->Model();
    const bool on = controls_.Checked(name);
    if (name == "CheckBoxTile") s.tile = on;
    if (name == "CheckBoxResize") s.resize = on;
    if (name == "CheckBoxResizeOver") s.resizeOver = on;
    if (name == "CheckBoxStart") s.start = on;
    if (name == "CheckBoxShade") s.shade = on;
    if (name == "CheckBoxVorelrun") s.vorelrun = on;
    if (name == "CheckBoxScreen") {
      s.screen = on;
      EnableMargins();
    }
    if (name == "CheckBoxChangeTime") {
      s.interval = on;
      Field("TimeInterval").Show(s.changeTime);
      Field("TimeInterval").Apply();
      form_->CheckBoxChangeTimeClick();
    }
    if (name == "CheckBoxChangeDay") {
      s.day = on;
      form_->CheckBoxChangeDayClick();
    }
    if (radio >= 0) {
      if (name == "RadioGroupType") s.inOrder = radio == 1;
      if (name == "RadioGroupPosition") s.position = radio;
      if (name == "RadioGroupLeftClick") s.click = radio;
    }
  }

 private:
  void EnableMargins() {
    const bool on = form_->Model().screen;
    for (const char* name : kMarginControls) EnableWindow(controls_[name], on);
  }
};

}  // namespace

std::span<const ControlRow> ChangePageRows() { return kRows; }
std::unique_ptr<SettingsPage> MakeChangePage() { return std::make_unique<ChangePage>(); }

}  // namespace vorel
