// The object the page reaches over the web channel: messages in, replies out.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace panel {

class PanelBridge : public QObject {
  Q_OBJECT

 public:
  std::function<void(const QString&)> onMessage;

 public slots:
  // The JSON text of one object the page posted.
  void postMessage(const QString& json) {
    if (onMessage) onMessage(json);
  }

 signals:
  void message(const QString& json);
};

}  // namespace panel
