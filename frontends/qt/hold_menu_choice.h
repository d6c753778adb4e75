#pragma once
// A key that stands for an entry of a hold menu: the program opens its menu for the held row
// as it always does, and the entry is chosen at once, so the program takes exactly the path
// of that entry (the row it records at the hold included).

#include <QObject>

namespace qtfront {

class HoldMenuChoice final : public QObject {
  public:
    explicit HoldMenuChoice(QObject& parent);
    ~HoldMenuChoice() override;

    // The next pop-up menu to open chooses `command`. A person's next press forgets it, so a
    // hold that opened no menu never picks an entry of a later one.
    void Arm(int command) { m_command = command; }
    bool Armed() const { return m_command != 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int m_command = 0;
};

}  // namespace qtfront
