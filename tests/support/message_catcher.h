#pragma once
// Records the text of every message box that comes up and answers it with its default button.

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace vrx::test {

class MessageCatcher {
public:
    MessageCatcher() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                box->accept();
            }
        });
        timer_.start();
    }
    QStringList texts;

private:
    QTimer timer_;
};

} // namespace vrx::test
