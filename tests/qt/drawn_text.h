#pragma once
// The texts a widget draws, as it draws them (elided or whole), in the order it draws them.

#include <QStringList>

class QWidget;

namespace testing_support::qt {

QStringList DrawnTexts(QWidget& widget);

}  // namespace testing_support::qt
