// The model viewer's small dialogs: the colour-scheme dialog (one built-in
// palette as up to 16 swatches), the modeless material colour table of the
// active document, and the confirmation of deleting all viewpoints.
#pragma once
#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>

#include <array>
#include <vector>

#include "viewer/display_records.h"

struct PaletteColor;
class QmDoc;

// A static that paints itself in one colour with its text on top.
class CStaticEx : public QLabel {
  Q_OBJECT
 public:
  explicit CStaticEx(QWidget* parent = nullptr);
  // Stores the colour; the text becomes "r g b".
  void SetColor(const QColor& color);
  QColor Color() const { return m_color; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor m_color{0, 0, 0};
};

class CColorsDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kSwatches = 16;
  explicit CColorsDlg(QWidget* parent = nullptr);

  int m_nScheme = 0;
  QString m_strName;
  std::array<bool, kSwatches> m_bShown{};
  std::array<QColor, kSwatches> m_aColors{};

  CStaticEx* Swatch(int i) const { return m_aSwatch[static_cast<size_t>(i)]; }
  QLabel* NumberLabel() const { return m_pNumber; }
  QLabel* NameLabel() const { return m_pName; }

  // Moves the members into the controls (what the dialog's start does).
  void OnInitDialog();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::array<CStaticEx*, kSwatches> m_aSwatch{};
  QLabel* m_pNumber = nullptr;
  QLabel* m_pName = nullptr;
};

// Swatch i shows record i of the list (records counted up to the flag 0);
// a negative flag leaves its swatch hidden; past the 16th nothing is shown.
void PackColorsForDialog(CColorsDlg& dlg, int id, const char* name, const PaletteColor* colors);
// Palette n of the built-in table (n taken modulo the palette count, so a
// growing counter never reads past the table).
void SelectBuiltinPalette(int n, CColorsDlg& dlg);

// The owner-drawn list of the material table: one 30-pixel row per
// material, painted in its colour.
class CMatColorList : public QListWidget {
  Q_OBJECT
 public:
  explicit CMatColorList(QWidget* parent = nullptr);
  // The materials of a ready document (copies); none without a document or
  // while its load runs.
  void Fill(const QmDoc* doc);
  int Serial() const { return m_nSerial; }
  int Count() const { return static_cast<int>(m_aMats.size()); }
  const DispMaterial& Material(int i) const { return m_aMats[static_cast<size_t>(i)]; }
  bool Filled() const { return m_bFilled; }

 private:
  int m_nSerial = -1;
  bool m_bFilled = false;  // filled from a ready document
  std::vector<DispMaterial> m_aMats;
};

class CMatColorDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CMatColorDlg(QWidget* parent = nullptr);
  // Shows the document's materials; nothing happens when it already shows
  // that document's materials. Null empties the table.
  void Refresh(const QmDoc* doc);
  // A load ended: refill when the table shows that document.
  void DocumentLoaded(const QmDoc* doc);
  // A view went away or lost the activation: empty the table when it shows
  // that document.
  void Detach(const QmDoc* doc);
  int Serial() const { return m_nSerial; }
  CMatColorList* List() const { return m_pList; }

 private:
  int m_nSerial = -1;
  CMatColorList* m_pList = nullptr;
};

// The material table singleton: created on first use, hidden by OK and
// Cancel, destroyed with the main frame.
extern QPointer<CMatColorDlg> g_pMatColorDlg;

class CEyeDelAllDlg : public QDialog {
  Q_OBJECT
 public:
  CEyeDelAllDlg(const QString& message, QWidget* parent = nullptr);
  QString Message() const { return m_strMessage; }

 private:
  QString m_strMessage;
};
