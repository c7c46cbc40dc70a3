#pragma once

// A number field with spin buttons that accepts any typed text. The buttons step the number
// within their own range only; a text outside the range, or no number at all, stays as typed
// until a button is pressed.

#include <QAbstractSpinBox>

namespace velmora {

class NumberSpinEdit : public QAbstractSpinBox {
 public:
  explicit NumberSpinEdit(QWidget* parent = nullptr);

  void SetRange(int min, int max);
  QString Text() const;
  void SetText(const QString& text);

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int min_ = 0;
  int max_ = 100;
};

}  // namespace velmora
