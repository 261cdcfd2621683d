#pragma once

#include <QDialog>

class QLabel;

namespace tavufe {

// The modal "About" box, laid out so that every line shows whatever the font.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  void setVersion(const QString& version);

 private:
  QLabel* versionLabel_;
};

}  // namespace tavufe
