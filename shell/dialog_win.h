// A thin modal-dialog base: the static procedure binds the object at
// WM_INITDIALOG and one dispatch maps messages to virtual handlers. Tools
// override the handlers they need and nothing else.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace shell {

class Dialog {
  public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    INT_PTR runModal(HWND owner);
    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

  protected:
    // Runs before onInit; the main window of a tool adds its shell steps here.
    virtual void beforeInit() {}
    // TRUE lets the system give the focus to the first control.
    virtual BOOL onInit() { return TRUE; }
    virtual void onCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual std::optional<LRESULT> onNotify(const NMHDR& /*header*/) { return std::nullopt; }
    // Enter and Esc (and the close box, which Windows turns into IDCANCEL).
    virtual void onOK() { end(IDOK); }
    virtual void onCancel() { end(IDCANCEL); }
    // True when the command was handled; otherwise it gets the default handling.
    virtual bool onSysCommand(WPARAM /*command*/) { return false; }
    virtual void onContextMenu(HWND /*window*/, POINT /*screenPoint*/) {}
    // Any other message; nullopt leaves it to the default dialog handling.
    virtual std::optional<INT_PTR> onMessage(UINT, WPARAM, LPARAM) { return std::nullopt; }

    void end(INT_PTR result) { EndDialog(hwnd_, result); }
    void showMessage(const std::wstring& text) const;

    // Set by the main window of a tool: painted centred while minimised and
    // used as the drag icon.
    HICON minimisedIcon_ = nullptr;

  private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool paintMinimised();

    int templateId_;
    HWND hwnd_ = nullptr;
};

// The main dialog of a tool: the About item on the system menu (string 101,
// command 16, About box template 100) and the application icon 128, as
// shell_resources.h numbers them.
class MainDialog : public Dialog {
  public:
    struct Traits {
        bool aboutItem = true;
    };
    MainDialog(int templateId, Traits traits) : Dialog(templateId), traits_(traits) {}
    explicit MainDialog(int templateId) : MainDialog(templateId, Traits{}) {}

  protected:
    void beforeInit() override;
    bool onSysCommand(WPARAM command) override;

  private:
    Traits traits_;
};

} // namespace shell
