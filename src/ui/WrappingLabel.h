#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace launcher {

// Plain text that wraps at word boundaries, and inside a word that is wider than
// the line (long paths in error messages), so it never forces its container
// wider. Shows as many lines as the text needs, or at most `maximumLines`, the
// last one elided. The colour is the palette's foreground; the text is shown verbatim.
class WrappingLabel final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit WrappingLabel(QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);
    // 0 shows every line.
    void setMaximumLines(int lines);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QStringList lines(int width) const;

    QString m_text;
    int m_maximumLines = 0;
};

} // namespace launcher
