#pragma once
// An IPv4 address field: four boxes of 0 to 255 between dots. A blank box counts as 0;
// the address's first box is its most significant byte.
#include <QWidget>

#include <array>
#include <cstdint>

class QLineEdit;

class Ipv4AddressField : public QWidget {
    Q_OBJECT
public:
    explicit Ipv4AddressField(QWidget* parent = nullptr);

    std::uint32_t address() const;
    void setAddress(std::uint32_t address);
    void clear();
    // True when every box is blank.
    bool isBlank() const;

    QLineEdit* box(int index) const { return boxes_.at(static_cast<std::size_t>(index)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveToBox(std::size_t index);

    std::array<QLineEdit*, 4> boxes_{};
    // The box that three digits just moved the typing into, until its next key or
    // until it loses the focus; -1 for none.
    int advancedInto_ = -1;
};
