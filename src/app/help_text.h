#pragma once

#include <QString>

namespace tagwright {

// The whole help text, paragraphs ended by CR LF CR LF.
QString helpText(const QString& singleFileManual, const QString& multipleFilesManual);

} // namespace tagwright
