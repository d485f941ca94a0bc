#include "framework/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>

#include <utility>

#include "framework/Runtime.h"

namespace {
// The toolkit's own dialog, not the desktop's: the same everywhere, and a
// path can be typed into the name field.
struct FileDialog : QFileDialog {
  FileDialog(AcceptMode accept, FileMode files) : QFileDialog(QApplication::activeWindow()) {
    setOptions(QFileDialog::DontUseNativeDialog);
    setAcceptMode(accept);
    setFileMode(files);
  }
};

// Under the seams a dialog is shown only when a test has an action to run
// inside it.
bool ShowDialog() {
  const fw::SeamState& seams = fw::Seams();
  return !seams.on || seams.insideNextDialog;
}

// Runs the dialog modally. Under the seams it runs the test's action inside,
// then closes: false, the seam's answer stands.
bool Exec(QDialog& dialog) {
  std::function<void()> action = std::exchange(fw::Seams().insideNextDialog, nullptr);
  if (!action) return dialog.exec() == QDialog::Accepted;
  QTimer::singleShot(0, &dialog, [&dialog, &action] {
    action();
    dialog.reject();
  });
  dialog.exec();
  return false;
}

Ref<FolderItem> Chosen(QFileDialog& dialog) {
  if (!Exec(dialog)) return nullptr;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return nullptr;
  return MakeRef<FolderItem>(files.front().toStdString());
}

Ref<FolderItem> TakeAnswer(std::deque<Ref<FolderItem>>& queue) {
  if (queue.empty()) return nullptr;
  Ref<FolderItem> answer = queue.front();
  queue.pop_front();
  return answer;
}

// Name filters for a list of file types ("image/jpeg,png"): each a MIME type
// or a plain extension, then every file.
QStringList NameFilters(const std::string& filter) {
  struct Known {
    const char* mime;
    const char* extension;
    const char* entry;
  };
  static constexpr Known kKnown[] = {
      {"image/jpeg", "jpeg", "JPEG (*.jpg *.jpeg)"},
      {"image/jpeg", "jpg", "JPEG (*.jpg *.jpeg)"},
      {"image/png", "png", "PNG (*.png)"},
  };
  QStringList out;
  const QStringList parts = QString::fromStdString(filter).split(QRegularExpression(QStringLiteral("[,;]")));
  for (QString part : parts) {
    part = part.trimmed().toLower();
    if (part.isEmpty()) continue;
    QString entry;
    for (const Known& k : kKnown) {
      if (part == QLatin1String(k.mime) || part == QLatin1String(k.extension)) entry = QLatin1String(k.entry);
    }
    if (entry.isEmpty() && part.contains(QLatin1Char('/'))) {
      const QMimeType type = QMimeDatabase().mimeTypeForName(part);
      if (type.isValid()) entry = type.filterString();
    } else if (entry.isEmpty()) {
      entry = part.toUpper() + QStringLiteral(" (*.") + part + QStringLiteral(")");
    }
    if (!entry.isEmpty() && !out.contains(entry)) out << entry;
  }
  out << QStringLiteral("All files (*)");
  return out;
}
}  // namespace

// --- FolderItem --------------------------------------------------------------

FolderItem::FolderItem(std::string nativePath) : path_(std::move(nativePath)) {}

std::string FolderItem::DisplayName() const {
  const QString path = QString::fromStdString(path_);
  QString name = QFileInfo(path).fileName();
  if (name.isEmpty()) name = QDir(path).dirName();  // a folder given with a trailing separator
  return name.toStdString();
}

bool FolderItem::Exists() const { return QFileInfo::exists(QString::fromStdString(path_)); }
bool FolderItem::IsFolder() const { return QFileInfo(QString::fromStdString(path_)).isDir(); }

// --- Dialogs -----------------------------------------------------------------

OpenDialog::OpenDialog() = default;

Ref<FolderItem> OpenDialog::ShowModal() {
  fw::SeamState& seams = fw::Seams();
  if (seams.on) ++seams.openDialogs;
  Ref<FolderItem> chosen;
  if (ShowDialog()) {
    fw::EnsureToolkit();
    FileDialog dialog(QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
    chosen = Chosen(dialog);
  }
  return seams.on ? TakeAnswer(seams.openAnswers) : chosen;
}

Ref<FolderItem> GetSaveFolderItem(const std::string& filter, const std::string& defaultName) {
  fw::SeamState& seams = fw::Seams();
  if (seams.on) seams.saveRequests.push_back({filter, defaultName});
  Ref<FolderItem> chosen;
  if (ShowDialog()) {
    fw::EnsureToolkit();
    FileDialog dialog(QFileDialog::AcceptSave, QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(filter));
    dialog.selectFile(QString::fromStdString(defaultName));
    chosen = Chosen(dialog);
  }
  return seams.on ? TakeAnswer(seams.saveAnswers) : chosen;
}

void MsgBox(const std::string& message) {
  fw::SeamState& seams = fw::Seams();
  if (seams.on) seams.messageBoxes.push_back(message);
  if (!ShowDialog()) return;
  fw::EnsureToolkit();
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), QString::fromStdString(message),
                  QMessageBox::Ok, QApplication::activeWindow());
  Exec(box);
}

// --- DragItem ----------------------------------------------------------------

DragItem::DragItem(Ref<::Picture> picture, Ref<::FolderItem> folderItem, bool pictureOffered)
    : picture_(std::move(picture)), folderItem_(std::move(folderItem)), pictureOffered_(pictureOffered) {}
