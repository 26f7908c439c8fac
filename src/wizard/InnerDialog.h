// The base of every wizard page: a modeless child dialog of the main window
// with the common button row (Help, Back, Next, Cancel) routed to the main
// window, tooltips on those buttons, a read-only rich-text help text with up
// to two links, and the cursor handling that goes with the links.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "wizard/WizardHost.h"

namespace loom {

struct PageLink {
  LONG start = 0;
  LONG length = 0;  // 0 = no link
  std::wstring url;
};

class InnerDialog : public Dialog {
 public:
  InnerDialog(UINT templateId, int helpString, WizardHost* wizard);

  // Help texts: call before the base OnInitDialog. The text is streamed in
  // and its links formatted, like the button tooltips made, when the page is
  // first shown or once the first page has been painted, whichever comes
  // first; a later call shows the new text at once.
  void SetRichText(int richEditId, UINT helpTextId);
  void SetRichTextWithLink(int richEditId, UINT helpTextId, UINT linkString);
  void SetRichTextWithLinks(int richEditId, UINT helpTextId, UINT linkString0, UINT linkString1);

  // Replaces the Back button's tooltip (only when the page registered one).
  void SetBackTooltip(UINT stringId);

  // Opens a URL (or folder) with the shell; busy cursor meanwhile.
  void OpenUrl(const std::wstring& url);

  WizardHost* GetWizard() const { return wizard_; }
  // What earlier pages decided, and where this page hands on its own part.
  PageValues& Values() const { return wizard_->Values(); }

  // Runs each time the page's step is entered, before the page is shown
  // (pages that load from the working project file or start work override it).
  virtual void Prepare() {}

  // Help button: opens the page's help URL (string-table entry), if any.
  void OpenHelp();

  // Creates the page as a hidden child of the main window at (0, 85).
  bool CreatePage(HWND mainWindow);

  // Tooltips and help text, once: on the page's first show, on a timer once
  // the first page has been painted, or at once for a page made after that.
  void FinishPage();

 protected:
  virtual UINT GetNextTooltipId() { return 0; }
  virtual UINT GetBackTooltipId() { return 0; }

  BOOL OnInitDialog() override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  bool OnClicked(int id) override;
  bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT& result) override;
  void OnCancel() override;
  void OnOK() override;
  void DoDataExchange(DataExchange& dx) override;
  bool PreTranslateMessage(MSG* msg) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnDestroy() override;

  // Button 1086: Back (Stop on pages that watch a running tool).
  virtual void OnBackButton();

  // True while OpenUrl waits for the started program.
  bool busy() const { return busy_; }
  HCURSOR handCursor() const { return hand_; }

  RichEdit richEdit_;

 private:
  void FillLink(PageLink& link, UINT stringId);
  void LoadHelpText();
  static void CALLBACK FinishPageLater(HWND hwnd, UINT, UINT_PTR id, DWORD);
  void AddTool(int buttonId, const std::wstring& text);

  WizardHost* wizard_;
  int richEditId_ = 0;
  int helpString_;
  HWND tooltip_ = nullptr;
  PageLink links_[2];
  UINT helpTextId_ = 0;
  UINT linkStrings_[2] = {0, 0};
  bool helpPending_ = false;  // set, not yet streamed in
  bool helpShown_ = false;    // streamed in once, links formatted
  bool tooltipsPending_ = false;
  bool cancelTip_ = false;  // Cancel was enabled when the page was made
  bool busy_ = false;
  HCURSOR arrow_, hand_, busyCursor_;
};

}  // namespace loom
