#pragma once

#include <QDialog>

#include "model/version.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tavufe {

// The modal "About" box.
class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QFrame* Panel1;
  QLabel* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Credit;
  QPlainTextEdit* Memo1;
  QPushButton* OKButton;
};

}  // namespace tavufe
