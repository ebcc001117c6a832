#pragma once

#include "ui/section.h"

#include <QElapsedTimer>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace quillmark {

class DurationCalculatorViewModel;

// The folder path, "Sfoglia…", the "..." menu of actions and "Calcola".
class HeaderBar : public Section {
    Q_OBJECT

public:
    HeaderBar(DurationCalculatorViewModel& viewModel, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* makeAction(const char* objectName, const QString& text, const char* symbol,
                        void (DurationCalculatorViewModel::*slot)());
    void showEnabledState();
    void keepCalculateWidth();
    void showCalculateLabel(bool stoppable);
    void listRecentFolders();

    DurationCalculatorViewModel& m_viewModel;
    Section* m_pathFrame;
    QLineEdit* m_folderPath;
    QPushButton* m_browse;
    QToolButton* m_actions;
    QPushButton* m_calculate;
    QAction* m_openFolder;
    QAction* m_rename;
    QAction* m_playlists;
    QAction* m_save;
    QAction* m_exportCsv;
    QAction* m_copy;
    QAction* m_load;
    QAction* m_clear;
    QAction* m_freshRun;
    QMenu* m_recent;
    QElapsedTimer m_lastClick; // of Calcola
};

} // namespace quillmark
