#pragma once

#include <QComboBox>
#include <QFontMetrics>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The drive list: shows the texts and current entry it is given; reports when it is
// about to open (Opened: drives are read again, so one mounted meanwhile appears) and
// the entry the user took by mouse, keyboard or wheel, the current one too (Picked).
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    void showDrives(const std::vector<std::string>& texts, std::optional<std::size_t> current);

    void showPopup() override;

    // text as the closed list shows it in a field width pixels wide.
    [[nodiscard]] static QString fieldText(const QString& text, const QFontMetrics& metrics, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

signals:
    void Opened();
    void Picked(int index);
};
