// Answers the station's questions from a script and records what it showed,
// so that a test never blocks on a modal box.
#pragma once

#include "operatorui.h"

#include <QQueue>
#include <QStringList>

class ScriptedOperatorUi : public OperatorUi
{
public:
    // Answers for the next confirmations, folder choices and file choices, in order.
    void setNextAnswer(bool yes) { m_answers.enqueue(yes); }
    void setNextFolder(const QString &folder) { m_folders.enqueue(folder); }
    void setNextFile(const QString &file) { m_files.enqueue(file); }

    void message(const QString &text) override { messages << text; }
    bool confirm(const QString &text, Default defaultButton) override;
    QString chooseFolder(const QString &title) override;
    QString chooseFile() override;

    QStringList messages;      // every message box, in order
    QStringList questions;     // every confirmation, in order
    QList<Default> defaults;   // the default button of each confirmation
    QStringList folderTitles;  // the title of each folder chooser shown
    int fileChoosers = 0;

private:
    QQueue<bool> m_answers;
    QQueue<QString> m_folders;
    QQueue<QString> m_files;
};
