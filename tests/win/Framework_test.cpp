// The dialog framework: data exchange in both directions, a failing control
// stops the exchange and gets the focus, commands decoded into clicks and
// edit changes, modal loops end as they should, and no exception leaves a
// window procedure.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "framework/DataExchange.h"
#include "framework/Dialog.h"

using namespace loom;

namespace {

class FormDialog : public Dialog {
 public:
  FormDialog() : Dialog(900, nullptr) {}
  std::wstring name = L"initial", other = L"second";
  bool flag = true;
  bool failWhenEmpty = true;
  bool endAtOnce = false;
  bool throwOnTimer = false;
  int timerTicks = 0;
  std::wstring commands;  // what the command handlers saw, in order

 protected:
  BOOL OnInitDialog() override {
    BOOL r = Dialog::OnInitDialog();
    if (endAtOnce) EndDialog(42);
    if (throwOnTimer) ::SetTimer(hwnd_, 7, 10, nullptr);
    return r;
  }
  void DoDataExchange(DataExchange& dx) override {
    dx.Text(901, name);
    if (dx.saving() && failWhenEmpty && name.empty()) dx.Fail(901);
    dx.Text(902, other);
    dx.Check(903, flag);
  }
  bool OnClicked(int id) override {
    commands += L"click " + std::to_wstring(id) + L";";
    return id == 903 || Dialog::OnClicked(id);
  }
  bool OnEditChange(int id) override {
    commands += L"change " + std::to_wstring(id) + L";";
    return true;
  }
  bool OnCommand(WPARAM wParam, LPARAM) override {
    if (LOWORD(wParam) == 904) commands += L"command " + std::to_wstring(HIWORD(wParam)) + L";";
    return true;
  }
  void OnTimer(UINT_PTR) override {
    if (++timerTicks == 1) throw std::runtime_error("handler failed");
    ::KillTimer(hwnd_, 7);
    EndDialog(IDOK);
  }
};

}  // namespace

TEST(Framework, DataExchangeBothWaysAndStopsAtTheFailingControl) {
  FormDialog dlg;
  ASSERT_TRUE(dlg.Create(nullptr));
  dlg.Show(SW_SHOW);
  EXPECT_EQ(dlg.ItemText(901), L"initial") << "initialisation shows the members";
  EXPECT_EQ(dlg.ItemCheck(903), BST_CHECKED);

  dlg.SetItemText(901, L"typed");
  dlg.SetItemText(902, L"also typed");
  dlg.SetItemCheck(903, false);
  EXPECT_TRUE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.name, L"typed");
  EXPECT_EQ(dlg.other, L"also typed");
  EXPECT_FALSE(dlg.flag);

  dlg.SetItemText(901, L"");
  dlg.SetItemText(902, L"not taken");
  ::SetFocus(dlg.Item(902));
  EXPECT_FALSE(dlg.UpdateData(true));
  EXPECT_EQ(dlg.other, L"also typed") << "controls after the failing one are not read";
  EXPECT_EQ(::GetFocus(), dlg.Item(901)) << "the failing control gets the focus";
}

TEST(Framework, CommandsDecodedIntoClicksAndEditChanges) {
  FormDialog dlg;
  ASSERT_TRUE(dlg.Create(nullptr));
  dlg.commands.clear();
  dlg.SendItem(903, BM_CLICK);
  dlg.SetItemText(902, L"typed");
  dlg.Send(WM_COMMAND, MAKEWPARAM(904, CBN_SELCHANGE));  // any other notification
  EXPECT_EQ(dlg.commands, L"click 903;change 902;command " + std::to_wstring(CBN_SELCHANGE) + L";");
}

TEST(Framework, ModalLoopEndsEvenWhenTheDialogEndsWhileItStarts) {
  FormDialog dlg;
  dlg.endAtOnce = true;
  EXPECT_EQ(dlg.DoModal(), 42);
  EXPECT_EQ(dlg.hwnd(), nullptr) << "the window is gone after the loop";
}

TEST(Framework, AnExceptionInAHandlerStaysInsideTheWindowProcedure) {
  FormDialog dlg;
  dlg.throwOnTimer = true;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.timerTicks, 2) << "the loop went on after the failing handler";
}
