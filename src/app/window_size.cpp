#include "app/window_size.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <algorithm>

#include "platform/gui/forms.h"

namespace {

// The client widget's own resize then realigns the form's controls.
class SizeFollower : public QObject {
public:
    SizeFollower(TForm& form, QObject* parent) : QObject(parent), form_(form) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && watched == form_.Widget()) {
            auto* window = static_cast<QWidget*>(watched);
            if (QWidget* client = form_.ClientWidget(); client && client != window) {
                const int menu = form_.MenuHeight();
                client->setGeometry(0, menu, window->width(), std::max(0, window->height() - menu));
            }
        }
        return false;
    }

private:
    TForm& form_;
};

}  // namespace

void FollowWindowSize(TForm& form) {
    QWidget* window = form.Widget();
    if (!window) return;
    window->installEventFilter(new SizeFollower(form, window));
}
