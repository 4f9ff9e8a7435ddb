#pragma once

#include <QWidget>

#include <optional>

namespace launcher {

class FrameClock;

// A thin bar for the progress of long work: filled up to the fraction done when
// that is known, otherwise a short segment that sweeps along it while shown.
// Assistive technology finds a progress bar with a value from 0 to 100 (none
// while it sweeps) and the progress text as its value text, and hears of each
// change.
class ProgressBar final : public QWidget {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // Between 0 and 1, or nullopt for work of unknown size.
    void setFraction(std::optional<double> fraction);
    std::optional<double> fraction() const { return m_fraction; }
    bool isSweeping() const;
    // What the text beside the bar says, such as "42% · 12 of 30 MB".
    void setText(const QString& text);
    QString text() const { return m_text; }

    QSize sizeHint() const override { return {240, 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void announce();

    std::optional<double> m_fraction;
    QString m_text;
    FrameClock* m_clock;
    // Where the sweeping segment is, as a share of one sweep.
    double m_phase = 0;
};

} // namespace launcher
