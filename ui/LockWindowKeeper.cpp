#include "ui/LockWindowKeeper.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstring>
#include <memory>

namespace twig {

namespace {

constexpr int kRaiseIntervalMs = 1000;
constexpr std::uint32_t kEveryDesktop = 0xFFFFFFFF;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// An EWMH request to the window manager about `window`, sent to the root as the standard asks.
void askWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                      std::uint32_t d0, std::uint32_t d1, std::uint32_t d2, std::uint32_t d3) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = type;
  message.data.data32[0] = d0;
  message.data.data32[1] = d1;
  message.data.data32[2] = d2;
  message.data.data32[3] = d3;
  xcb_send_event(connection, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

// On every workspace: the window's own properties (read by a window manager that maps it later),
// and the requests a window manager that manages it already acts on.
void putOnEveryDesktop(QWindow* window) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  const auto id = static_cast<xcb_window_t>(window->winId());
  std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
      xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr), &std::free);
  if (!tree) return;
  const xcb_atom_t desktop = atom(connection, "_NET_WM_DESKTOP");
  const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
  const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
  if (desktop == XCB_ATOM_NONE || state == XCB_ATOM_NONE || sticky == XCB_ATOM_NONE) return;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &kEveryDesktop);
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &sticky);
  constexpr std::uint32_t kAdd = 1;
  constexpr std::uint32_t kFromApplication = 1;
  askWindowManager(connection, tree->root, id, desktop, kEveryDesktop, kFromApplication, 0, 0);
  askWindowManager(connection, tree->root, id, state, kAdd, sticky, XCB_ATOM_NONE, kFromApplication);
  xcb_flush(connection);
}

}  // namespace

LockWindowKeeper::LockWindowKeeper(QObject* parent) : QObject(parent) {
  timer_.setInterval(kRaiseIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &LockWindowKeeper::raiseAll);
}

void LockWindowKeeper::keep(QWindow* window) {
  if (window == nullptr) return;
  window->installEventFilter(this);
  windows_.emplace_back(window);
  connect(window, &QObject::destroyed, this, [this] {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [](const QPointer<QWindow>& kept) { return kept.isNull(); }),
                   windows_.end());
    if (windows_.empty()) timer_.stop();
  });
  // The native window exists from here on, so its properties can be set.
  putOnEveryDesktop(window);
  timer_.start();
}

std::vector<QWindow*> LockWindowKeeper::windows() const {
  std::vector<QWindow*> kept;
  for (const auto& window : windows_) {
    if (!window.isNull()) kept.push_back(window.data());
  }
  return kept;
}

bool LockWindowKeeper::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Close:
      // Asked by the window manager (Alt+F4, its close button): the lock stays until control ends,
      // which takes the window away itself.
      event->ignore();
      ++refusedCloses_;
      return true;
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
      // Another window took the focus: whatever it is, the lock goes back above it at once.
      QTimer::singleShot(0, this, &LockWindowKeeper::raiseAll);
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void LockWindowKeeper::raiseAll() {
  bool focused = false;
  QWindow* first = nullptr;
  for (QWindow* window : windows()) {
    if (!window->isVisible()) continue;
    window->raise();
    if (first == nullptr) first = window;
    if (QGuiApplication::focusWindow() == window) focused = true;
  }
  // The keyboard belongs to the lock too, or the child could type into a window under it.
  if (first != nullptr && !focused) first->requestActivate();
  // Qt sends its requests when its loop next waits; the lock must not wait for that.
  if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
      x11 != nullptr && x11->connection() != nullptr) {
    xcb_flush(x11->connection());
  }
}

}  // namespace twig
