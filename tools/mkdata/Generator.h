#pragma once

#include "Seeds.h"

#include <QString>
#include <cstdint>
#include <vector>

// How big a directory to make: telephone numbers of persons and of firms,
// main and additional numbers counted together.
struct DataSize {
    QString name;
    int personNumbers = 0;
    int firmNumbers = 0;

    static DataSize byName(const QString& name); // test, demo, full; throws on anything else
};

// The size the program checks the directory file against.
inline constexpr qint64 kDirectoryFileSize = 456028160;

// The form the files are written in: our engine's databases, or Jet 3 files
// as the program's disc has them.
enum class OutputFormat { Native, Jet3 };

class TableOutput;

struct TableCount {
    QString table;
    qint64 rows = 0;
};

// Writes the directory database and the four reference lists from the seed
// lists. The same seed always gives the same content.
class Generator {
  public:
    Generator(const Seeds& seeds, const DataSize& size, uint64_t seed);

    // ordat.mdb (secured with the program's login, padded to the checked size)
    // and its workgroup file ordat.mdw.
    std::vector<TableCount> writeDirectory(const QString& folder, OutputFormat format = OutputFormat::Native);
    // ZELINKY.mdb, PSC.mdb, MP.mdb, INET.mdb.
    std::vector<TableCount> writeReferenceLists(const QString& folder,
                                                OutputFormat format = OutputFormat::Native);

  private:
    std::vector<TableCount> fillDirectory(TableOutput& out);
    struct Impl;
    const Seeds& m_seeds;
    DataSize m_size;
    uint64_t m_seed;
    // Firms with an internet address, remembered for the internet list.
    std::vector<std::pair<QString, QString>> m_firmUrls;
    std::vector<QString> m_firmNames;
};
