#include "scriptedoperatorui.h"

#include <QTest>

bool ScriptedOperatorUi::confirm(const QString &text, Default defaultButton)
{
    questions << text;
    defaults << defaultButton;
    if (m_answers.isEmpty()) {
        qWarning("unexpected question: %s", qPrintable(text));
        return defaultButton == Default::Yes;
    }
    return m_answers.dequeue();
}

QString ScriptedOperatorUi::chooseFolder(const QString &title)
{
    folderTitles << title;
    return m_folders.isEmpty() ? QString() : m_folders.dequeue();
}

QString ScriptedOperatorUi::chooseFile()
{
    ++fileChoosers;
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}
