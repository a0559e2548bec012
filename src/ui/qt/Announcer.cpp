#include "ui/qt/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMetaObject>
#include <QStatusBar>
#include <QWidget>

namespace cardovia::qt {

// A notification that never shows on screen: the reader hears its name when it
// is said to appear, and it never takes the keyboard's focus.
class Notice : public QWidget {
  public:
    explicit Notice(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::NoFocus);
        hide();
    }
    QString words;
};

namespace {

class NoticeAccessible : public QAccessibleWidget {
  public:
    explicit NoticeAccessible(Notice* notice)
        : QAccessibleWidget(notice, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<const Notice*>(object())->words : QString();
    }
    // No place on the screen, so a reader's review of the window passes it by.
    QRect rect() const override { return {}; }
};

QAccessibleInterface* NoticeFactory(const QString&, QObject* object) {
    if (auto* notice = dynamic_cast<Notice*>(object)) return new NoticeAccessible(notice);
    return nullptr;
}

}  // namespace

Announcer::Announcer(QWidget* window) : QObject(window), window_(window) {}

void Announcer::Say(const QString& words) {
    if (!QAccessible::isActive() || words.isEmpty()) return;
    // The lines of one turn go out as one utterance: Orca reads a notice's words only
    // when it comes to the event, and drops a second appearance of the same notice
    // still waiting in its queue, so a notice shown per line would lose all but the last.
    if (pending_.isEmpty()) {
        QMetaObject::invokeMethod(this, &Announcer::Flush, Qt::QueuedConnection);
    }
    pending_.append(words);
}

void Announcer::Flush() {
    if (pending_.isEmpty()) return;
    Notice* notice = NextNotice();
    notice->words = pending_.join(QLatin1Char(' '));
    pending_.clear();
    if (!QAccessible::isActive()) return;
    // The name first, so a reader that keeps names in a cache reads the new words.
    QAccessibleEvent named(notice, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

Notice* Announcer::NextNotice() {
    if (!notices_[next_]) {
        static const bool installed = (QAccessible::installFactory(NoticeFactory), true);
        (void)installed;
        // Orca speaks a notification inside a status bar by its words alone; one
        // elsewhere it calls a "notification" first.
        auto* statusBar = window_->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        QWidget* parent = statusBar ? static_cast<QWidget*>(statusBar) : window_;
        for (QPointer<Notice>& notice : notices_) {
            if (!notice) notice = new Notice(parent);
        }
    }
    Notice* notice = notices_[next_];
    next_ = (next_ + 1) % kNotices;
    return notice;
}

}  // namespace cardovia::qt
