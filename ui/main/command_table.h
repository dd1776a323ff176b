#pragma once
#include <QHash>
#include <QList>
#include <functional>

class QAction;
class QKeySequence;
class QObject;

// One command as the user meets it: the menu text (with its mnemonic), the text of its button when it
// has one, and the tool tip of that button.
struct CommandInfo {
  int id;
  const char* menuText;
  const char* buttonText;
  const char* toolTip;
  bool checkable;
};

// Every command a main window offers, in one table.
const QList<CommandInfo>& CommandCatalogue();
const CommandInfo* FindCommand(int id);

// The keys that run a command from anywhere in the window (none for most); the first is shown in the menus.
QList<QKeySequence> CommandKeys(int id);

// One QAction per command id, owned by `owner`, with its keys; every action triggers `run` with its id. The
// object name of each action is its id in decimal.
QHash<int, QAction*> BuildCommandActions(QObject* owner, const std::function<void(int)>& run);

// The menu text without its mnemonic marker, for accessible names.
QString PlainText(const char* text);
