#pragma once

#include <QLabel>

namespace horavia {

// A label styled as a link: blue and underlined, red while the pointer is over it, with the hand
// pointer; a left click emits clicked().
class TLinkLabel final : public QLabel {
    Q_OBJECT

public:
    explicit TLinkLabel(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetColour(const QColor& colour);
};

} // namespace horavia
