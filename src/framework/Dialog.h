// Dialog base: modal and modeless dialogs from templates, message dispatch to
// virtual handlers, and data exchange between controls and members.
//
// The object is found from its window through DWLP_USER. No C++ exception
// ever leaves a window procedure: the dispatcher catches at the boundary.
#pragma once

#include <windows.h>

#include "framework/Window.h"

namespace loom {

class DataExchange;

class Dialog : public Window {
 public:
  Dialog(UINT templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Modal: runs the dialog with its own message loop (so PreTranslateMessage
  // sees every message) until EndDialog, or until WM_QUIT, which is re-posted
  // for the outer loop. Returns the EndDialog result, or -1.
  INT_PTR DoModal(HWND owner = nullptr);
  void EndDialog(INT_PTR result);

  // Modeless: creates the dialog as a child/owned window of `parent`.
  bool Create(HWND parent);

  // Runs the data exchange. Saving: controls to members, stopping at the
  // first control that fails, which then gets the focus; returns false then.
  bool UpdateData(bool save);

  UINT templateId() const { return templateId_; }
  Dialog* parent() const { return parent_; }

  static Dialog* FromHandle(HWND hwnd);

 protected:
  // Handlers. Returning true means "handled".
  virtual BOOL OnInitDialog();  // base: UpdateData(false); TRUE = default focus
  // WM_COMMAND, decoded once: a click (BN_CLICKED, also a menu or accelerator
  // command) goes to OnClicked, an edit's change (EN_CHANGE) to OnEditChange;
  // what they leave, and every other notification, to OnCommand.
  virtual bool OnClicked(int id);  // base: IDOK -> OnOK, IDCANCEL -> OnCancel
  virtual bool OnEditChange(int id);
  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  virtual bool OnNotify(WPARAM wParam, NMHDR* header, LRESULT& result);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnOK();      // base: UpdateData(true), then EndDialog(IDOK) when modal
  virtual void OnCancel();  // base: EndDialog(IDCANCEL) when modal
  virtual void DoDataExchange(DataExchange& dx);
  virtual bool PreTranslateMessage(MSG* msg);
  // Any other message; set `result` and return true to handle it.
  virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual void OnDestroy() {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  static bool RouteToDialogs(MSG* msg);

  UINT templateId_;
  Dialog* parent_;
  bool modal_ = false;
  bool loopRunning_ = false;
  INT_PTR result_ = -1;
};

}  // namespace loom
