#pragma once
// File dialog filters: the program writes them as "Text (*.ext)|*.ext|...||";
// Qt's dialogs take "Text (*.ext);;...".

#include <QStringList>
#include <string_view>

namespace tessera::app {

/// The name filters of a "Text (*.ext)|*.ext|...||" filter ("*.*" becomes "*").
QStringList qtNameFilters(std::string_view filter);

/// The same as one Qt filter string joined by ";;".
QString qtFilter(std::string_view filter);

}  // namespace tessera::app
