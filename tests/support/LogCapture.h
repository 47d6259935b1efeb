#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstring>

namespace horavia::test {

// Collects the warnings of one logging category while it lives; every message still reaches the usual output.
class LogCapture final {
public:
    explicit LogCapture(const char* category = "horavia.platform") : category_(category) {
        active_ = this;
        previous_ = qInstallMessageHandler(&LogCapture::Handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        active_ = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QList<QString>& Warnings() const { return warnings_; }
    qsizetype Count() const { return warnings_.size(); }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (active_ != nullptr && type == QtWarningMsg && context.category != nullptr &&
            std::strcmp(context.category, active_->category_) == 0) {
            active_->warnings_.append(message);
        }
        if (active_ != nullptr && active_->previous_ != nullptr) {
            active_->previous_(type, context, message);
        }
    }

    inline static LogCapture* active_ = nullptr;
    const char* category_;
    QtMessageHandler previous_ = nullptr;
    QList<QString> warnings_;
};

} // namespace horavia::test
