#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <map>

#include "frame/StackScreenHost.h"

namespace twig {

class ScreenBridge;
class ViewModel;

// The screen host of the window. The navigation logic is StackScreenHost's; this class shows it to
// QML: the navigation stack and the modal screens as lists of ScreenBridge, the overlay, the
// no-network bar and the open alert as properties. The cover (the lock screen) is not drawn inside
// the window but on its own full-screen windows (`lockScreen`). Main loop (GUI thread) only.
class QuickScreenHost final : public QObject, public StackScreenHost {
  Q_OBJECT
  Q_PROPERTY(QVariantList stack READ stack NOTIFY screensChanged)
  Q_PROPERTY(QVariantList modals READ modals NOTIFY screensChanged)
  Q_PROPERTY(QObject* lockScreen READ lockScreen NOTIFY screensChanged)
  Q_PROPERTY(QString overlayKind READ overlayKind NOTIFY overlayChanged)
  Q_PROPERTY(QString overlayText READ overlayText NOTIFY overlayChanged)
  Q_PROPERTY(int overlaySerial READ overlaySerial NOTIFY overlayChanged)
  Q_PROPERTY(bool barShown READ barShown NOTIFY barChanged)
  Q_PROPERTY(QVariantMap alert READ alert NOTIFY alertChanged)

 public:
  explicit QuickScreenHost(QObject* parent = nullptr);
  ~QuickScreenHost() override;

  QVariantList stack() const { return stack_; }
  QVariantList modals() const { return modals_; }
  QObject* lockScreen() const { return lockScreen_; }
  QString overlayKind() const { return overlayKind_; }
  QString overlayText() const { return overlayText_; }
  int overlaySerial() const { return overlaySerial_; }
  bool barShown() const { return isNoNetworkBarShown(); }
  QVariantMap alert() const;
  // The bridge of a shown screen; null when it is not shown.
  ScreenBridge* bridgeOf(const ViewModel* screen) const;

  // What the child does in the window.
  Q_INVOKABLE void back();
  Q_INVOKABLE void tapBar();
  Q_INVOKABLE void clickAlert(int index);
  Q_INVOKABLE void hideOverlay();

  void showOverlay(OverlayKind kind, const std::string& text) override;
  void dismissOverlay() override;
  void showNoNetworkBar(std::function<void()> onClick) override;
  void hideNoNetworkBar() override;
  void showAlert(const AlertSpec& alert, std::function<void(int buttonIndex)> onClick) override;
  void endEditing() override;
  void showWindow() override;

 signals:
  void screensChanged();
  void overlayChanged();
  void barChanged();
  void alertChanged();
  void keyboardHidden();
  void windowRequested();

 protected:
  void render(LineKind kind, const std::string& line) override;
  void stateChanged(const ScreenPtr& screen, const std::string& key, const Json& value) override;

 private:
  void rebuild();
  ScreenBridge* bridgeFor(const ScreenPtr& screen);

  std::map<const ViewModel*, ScreenBridge*> bridges_;
  QVariantList stack_;
  QVariantList modals_;
  QObject* lockScreen_ = nullptr;
  QString overlayKind_;
  QString overlayText_;
  int overlaySerial_ = 0;
};

}  // namespace twig
