#include <windows.h>

#include "app/events.h"
#include "app/main_window.h"
#include "app/notify_icon.h"
#include "app/texts.h"
#include "app/window_state.h"
#include "monitor/controls.h"
#include "monitor/notify_icon_record.h"

namespace {

const char window_class_name[] = "OrvaneMainWindow";
const int program_icon_id = 1;
enum ControlId : int {
  id_credit_label = 101,
  id_sound_box,
  id_interval_edit,
  id_interval_label,
  id_start_stop,
};

MainWindowHandles handles{};
// The shell broadcasts this message when its taskbar has been created anew.
UINT taskbar_created = 0;
WNDPROC label_default_proc = nullptr;

HWND as_window(uintptr_t handle) {
  return reinterpret_cast<HWND>(handle);
}
uintptr_t as_handle(HWND window) {
  return reinterpret_cast<uintptr_t>(window);
}

// A static control reports a click on the press; the credit label acts on the release.
LRESULT CALLBACK credit_label_proc(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_LBUTTONUP) on_credit_label_released();
  return CallWindowProcA(label_default_proc, label, message, wparam, lparam);
}

uintptr_t make_control(HWND parent, const char* window_class, const Text& text, DWORD style,
                       DWORD ex_style, int left, int top, int width, int height, int id) {
  HWND control = CreateWindowExA(ex_style, window_class, text_pointer(text),
                                 WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return as_handle(control);
}

// The controls in the order the form creates them; the notification icon,
// first of them, draws nothing in the window.
void create_controls(HWND window) {
  handles.credit_label = make_control(window, "STATIC", credit_text(), SS_NOTIFY, 0, 136, 52, 148,
                                      24, id_credit_label);
  label_default_proc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(as_window(handles.credit_label), GWLP_WNDPROC,
                                                  reinterpret_cast<LONG_PTR>(credit_label_proc)));
  handles.sound_box = make_control(window, "BUTTON", sound_alert_label(),
                                   BS_AUTOCHECKBOX | WS_TABSTOP, 0, 168, 19, 80, 16, id_sound_box);
  SendMessageA(as_window(handles.sound_box), BM_SETCHECK, BST_CHECKED, 0);
  handles.interval_edit =
      make_control(window, "EDIT", initial_interval(), ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,
                   WS_EX_CLIENTEDGE, 91, 14, 36, 24, id_interval_edit);
  // The caption runs under the edit box; clipping keeps it from painting over the box.
  handles.interval_label = make_control(window, "STATIC", interval_label(), WS_CLIPSIBLINGS, 0, 40,
                                        10, 112, 32, id_interval_label);
  handles.start_stop = make_control(window, "BUTTON", caption_start(), BS_PUSHBUTTON | WS_TABSTOP,
                                    0, 25, 45, 100, 32, id_start_stop);
  SetWindowPos(as_window(handles.interval_edit), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      handles.window = as_handle(window);
      create_controls(window);
      on_main_window_created();
      return 0;
    case WM_SIZE: on_main_window_resized(); return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == id_start_stop && HIWORD(wparam) == BN_CLICKED) on_start_stop_clicked();
      return 0;
    case notify_icon_callback: {
      // The low word holds the mouse message in every version of the callback.
      const int code = notify_event_code(LOWORD(lparam));
      if (code != 0) on_notify_icon_event(code);
      return 0;
    }
    case WM_DESTROY:
      set_notify_icon(Bytes(), Text());
      PostQuitMessage(0);
      return 0;
    default:
      if (message == taskbar_created && taskbar_created != 0) {
        on_taskbar_created();
        return 0;
      }
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool register_window_class(HINSTANCE instance) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = main_window_proc;
  window_class.hInstance = instance;
  window_class.hIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(program_icon_id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  window_class.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(program_icon_id),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = window_class_name;
  return RegisterClassExA(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

const MainWindowHandles& main_window_handles() {
  return handles;
}

uintptr_t main_window_handle() {
  return handles.window;
}

bool create_main_window() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!register_window_class(instance)) return false;
  taskbar_created = RegisterWindowMessageA("TaskbarCreated");
  const int left = centred_origin(GetSystemMetrics(SM_CXSCREEN), main_window_width);
  const int top = centred_origin(GetSystemMetrics(SM_CYSCREEN), main_window_height);
  // A fixed single border with caption, system menu and minimise box: no resizing, no maximising.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  HWND window =
      CreateWindowExA(0, window_class_name, text_pointer(window_caption()), style, left, top,
                      main_window_width, main_window_height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return false;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return true;
}

int run_message_loop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
