#pragma once

#include <QColor>
#include <QLabel>

namespace widgets {

// A label whose text has a one-pixel shadow down and to the right.
class ShadowLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ShadowLabel(const QString& text = QString(), QWidget* parent = nullptr);
    void setTextColour(const QColor& colour);
    QColor textColour() const { return m_colour; }
    void setShadowColour(const QColor& colour);
    // Draws the shadow colour all round the text, not only down and to the
    // right, so that light text stays readable on a light background.
    void setOutlined(bool on);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour = Qt::black;
    QColor m_shadow = Qt::black;
    bool m_outlined = false;
};

} // namespace widgets
