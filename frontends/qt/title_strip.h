#pragma once
// The strip at the top of the device screen that shows the window's title.

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "scale.h"

namespace qtfront {

class TitleStrip final : public QWidget {
  public:
    TitleStrip(QWidget& parent, Scale scale, QPixmap icon);

    void SetTitle(const QString& title);
    const QString& Title() const { return m_title; }
    // A lock at the right end while the session is protected; the title text stays as it is.
    void SetProtected(bool isProtected);
    bool IsProtected() const { return m_protected; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Scale m_scale;
    QPixmap m_icon;
    QString m_title;
    bool m_protected = false;
};

}  // namespace qtfront
