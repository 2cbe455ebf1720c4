#pragma once

#include <QString>

// What a new file name must keep and must not contain, without any message or file.
namespace RenameRules {

// The extension a renamed file must keep: the entry of the known extensions that name ends
// with (letter case aside), or ".doc" for a name that ends with none of them.
QString extensionOf(const QString& name);
bool keepsExtension(const QString& oldName, const QString& newName);
// True when name holds one of \ / : * ? " < > |.
bool hasForbiddenCharacter(const QString& name);

}
