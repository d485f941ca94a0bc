#pragma once
// The editor's one window and the owner of the edit state. Its handlers work
// together only through the edit state: a handler records a request, a
// selection or a view value and asks the canvas to repaint; the paint reads
// it, serves what is pending and clears what it has served.
//
// The methods are defined beside the subsystem they belong to: layout,
// controls and the control handlers in editor/, the paint in render/, loading
// and saving in imageio/, the about button in shell/.

#include <cstdint>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialogs.h"
#include "framework/Picture.h"
#include "framework/Ref.h"
#include "framework/Window.h"

class MainWindow : public Window {
 public:
  static constexpr const char* kClassName = "MainWindow.MainWindow";

  MainWindow();
  ~MainWindow() override;

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();

  // Control accessors, in creation order.
  Ref<GroupBox> Tools() const;
  Ref<BevelButton> LoadButton() const;
  Ref<BevelButton> SaveButton() const;
  Ref<BevelButton> FX1() const;
  Ref<BevelButton> FX2() const;
  Ref<BevelButton> FX3() const;
  Ref<BevelButton> FX4() const;
  Ref<BevelButton> FX5() const;
  Ref<BevelButton> FX6() const;
  Ref<BevelButton> FX7() const;
  Ref<BevelButton> FX8() const;
  Ref<BevelButton> ButtonAbout() const;
  Ref<BevelButton> FX9() const;
  Ref<BevelButton> FX10() const;
  Ref<BevelButton> FX11() const;
  Ref<BevelButton> FX12() const;
  Ref<Canvas> MainCanvas() const;
  Ref<Timer> mainTimer() const;
  Ref<Slider> FXSlider() const;
  Ref<PushButton> ApplyButton() const;
  Ref<PushButton> CancelButton() const;
  Ref<Label> ToolText() const;
  Ref<CheckBox> superGlitchModeCHK() const;
  Ref<PushButton> ZoomInButton() const;
  Ref<Label> ZoomText() const;
  Ref<PushButton> ZoomOutButton() const;
  Ref<Label> superglitchLabel() const;

  // Handlers.
  void LoadButton_Action(BevelButton& sender);
  void SaveButton_Action(BevelButton& sender);
  void FX1_Action(BevelButton& sender);
  void FX2_Action(BevelButton& sender);
  void FX3_Action(BevelButton& sender);
  void FX4_Action(BevelButton& sender);
  void FX5_Action(BevelButton& sender);
  void FX6_Action(BevelButton& sender);
  void FX7_Action(BevelButton& sender);
  void FX8_Action(BevelButton& sender);
  void ButtonAbout_Action(BevelButton& sender);
  void FX9_Action(BevelButton& sender);
  void FX10_Action(BevelButton& sender);
  void FX11_Action(BevelButton& sender);
  void FX12_Action(BevelButton& sender);
  void MainCanvas_Paint(Canvas& sender, Graphics& g, const std::vector<Rect>& areas);
  void MainCanvas_GotFocus(Canvas& sender);
  void MainCanvas_Open(Canvas& sender);
  bool MainCanvas_MouseDown(Canvas& sender, std::int64_t x, std::int64_t y);
  void MainCanvas_MouseDrag(Canvas& sender, std::int64_t x, std::int64_t y);
  void MainCanvas_MouseUp(Canvas& sender, std::int64_t x, std::int64_t y);
  void MainCanvas_DropObject(Canvas& sender, DragItem& obj, std::int64_t action);
  void mainTimer_Action(Timer& sender);
  void FXSlider_ValueChanged(Slider& sender);
  void ApplyButton_Action(PushButton& sender);
  void CancelButton_Action(PushButton& sender);
  void superGlitchModeCHK_Action(CheckBox& sender);
  void ZoomInButton_Action(PushButton& sender);
  void ZoomOutButton_Action(PushButton& sender);
  void Event_Open() override;
  void Event_Resized() override;
  Ref<Picture> ConvertToAlphaPicture(Ref<Picture> p);

  // triggerFX1 to triggerFX12 by effect number n, 1 to 12.
  bool& EffectTrigger(std::int64_t n);

  // FXSlider, then ApplyButton, then CancelButton: shown while a preview is
  // pending.
  void SetEffectControlsVisible(bool visible);
  // superGlitchModeCHK, then superglitchLabel: shown while none is.
  void SetSuperglitchPairVisible(bool visible);
  // A new transparent picture of pic's size: every fresh fxLayer is one.
  Ref<Picture> FreshLayer() const;

  // The edit state, in declaration order.
  Ref<Picture> pic;
  std::int64_t originalPicW = 0;
  std::int64_t originalPicH = 0;
  std::int64_t picX = 0;
  std::int64_t picY = 0;
  std::int64_t canvasHbuffer = 0;
  std::int64_t canvasWbuffer = 0;
  double ZoomFactor = 1.0;
  std::int64_t zW = 0;
  std::int64_t zH = 0;
  std::int64_t theLeft = 0;
  std::int64_t theTop = 0;
  std::int64_t mX = 0;
  std::int64_t mY = 0;
  std::int64_t mXDelta = 0;
  std::int64_t mYDelta = 0;
  std::int64_t ZoomCorrectionX = 0;
  std::int64_t ZoomCorrectionY = 0;
  bool triggerFX1 = false;
  Ref<Picture> fxLayer;
  bool triggerFX2 = false;
  bool triggerDUMPVARS = false;
  bool draggedFlag = false;
  std::int64_t permOffsetX = 0;
  std::int64_t permOffsetY = 0;
  std::int64_t currentTool = 0;
  bool triggerFX3 = false;
  bool triggerFX4 = false;
  bool triggerFX5 = false;
  bool triggerFX6 = false;
  std::int64_t Progress = 0;
  bool triggerFX7 = false;
  bool applyFX = false;
  bool superGlitchMode = false;
  bool cancelFX = false;
  bool triggerFX8 = false;
  bool triggerFX9 = false;
  bool triggerFX10 = false;
  bool triggerFX11 = false;
  bool triggerFX12 = false;

 private:
  enum class ZoomDirection { In, Out };
  enum class SnapLine { Written, Silent };

  // The twelve effect buttons differ only in the effect number n.
  void SelectEffect(std::int64_t n);
  // One zoom step, behind both buttons and both keys.
  void ZoomStep(ZoomDirection direction, SnapLine snapLine);
};

// The one live main window, built on first use. (A function and a class may
// share a name, as with POSIX stat; the type is `class MainWindow`.)
Ref<class MainWindow> MainWindow();
