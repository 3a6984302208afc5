#pragma once

#include <QFont>
#include <QQuickPaintedItem>
#include <QString>
#include <QtQml/qqml.h>

namespace quorlix {

// One line of text filled with the brand gradient, top-leading to bottom-trailing across the
// text's own box. Sized to its text; its baseline is exposed for baseline-aligned rows.
class GradientText : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)

public:
    explicit GradientText(QQuickItem* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    QFont font() const { return font_; }
    void setFont(const QFont& font);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void textChanged();
    void fontChanged();

private:
    void relayout();

    QString text_;
    QFont font_;
};

} // namespace quorlix
