#pragma once

#include <QString>

namespace nerina {

enum class CreateResult { Created, AlreadyThere, Failed };

// Creates an empty diary file at dbPath from the schema text in schemaPath, readable and
// writable by its owner only. An existing file is left exactly as it is.
CreateResult createDiaryFile(const QString &schemaPath, const QString &dbPath, QString *error);

} // namespace nerina
