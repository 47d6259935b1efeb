#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace horavia {

// Opens a dialog's help topic when F1 is released (with any modifier), whichever of its controls has the
// focus. Edit boxes, spin fields and the time picker keep every key they are given, so the dialog itself
// would never hear of F1 from them: this filter sees the key first, on each control.
class HelpKey final : public QObject {
public:
    // Watches dialog and every widget in it at this moment; openHelp runs once for each F1 released.
    // The filter belongs to dialog.
    HelpKey(QWidget* dialog, std::function<void()> openHelp);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* dialog_;
    std::function<void()> openHelp_;
};

} // namespace horavia
