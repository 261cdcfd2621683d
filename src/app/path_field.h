#pragma once

#include <QLineEdit>
#include <QString>

namespace tavufe {

// A read-only field for a file's path that elides it in the middle when it does not fit, so
// that both the folder's start and the file's name stay in view; the tool tip holds it whole.
// Nothing can be typed in it, so it takes no focus.
class PathField : public QLineEdit {
  Q_OBJECT

 public:
  explicit PathField(QWidget* parent = nullptr);

  void setPath(const QString& path);
  const QString& path() const { return path_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showElided();

  QString path_;
};

}  // namespace tavufe
