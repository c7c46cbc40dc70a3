#include "platform/NumberSpinEdit.h"

#include <QLineEdit>
#include <algorithm>

namespace velmora {

NumberSpinEdit::NumberSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
}

void NumberSpinEdit::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
}

QString NumberSpinEdit::Text() const {
  return lineEdit()->text();
}

void NumberSpinEdit::SetText(const QString& text) {
  if (lineEdit()->text() != text) lineEdit()->setText(text);
}

void NumberSpinEdit::stepBy(int steps) {
  bool ok = false;
  const int now = Text().trimmed().toInt(&ok);
  const long long next = ok ? static_cast<long long>(now) + steps : min_;
  SetText(QString::number(std::clamp<long long>(next, min_, max_)));
  emit editingFinished();
}

QValidator::State NumberSpinEdit::validate(QString&, int&) const {
  return QValidator::Acceptable;
}

void NumberSpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled NumberSpinEdit::stepEnabled() const {
  if (!isEnabled() || isReadOnly()) return StepNone;
  bool ok = false;
  const int now = Text().trimmed().toInt(&ok);
  if (!ok) return StepUpEnabled | StepDownEnabled;
  StepEnabled enabled = StepNone;
  if (now < max_) enabled |= StepUpEnabled;
  if (now > min_) enabled |= StepDownEnabled;
  return enabled;
}

}  // namespace velmora
