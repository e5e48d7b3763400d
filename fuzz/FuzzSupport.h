#pragma once

// Helpers shared by the fuzz targets. Each target is one LLVMFuzzerTestOneInput
// (with LLVMFuzzerInitialize for what every input shares), linked either with
// libFuzzer or with the replay driver of the test suite.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// A broken promise of the code under test: reported like a crash, so that the
// fuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "fuzz: %s %s\n", what, qPrintable(detail));
    std::abort();
}

inline void check(bool condition, const char* what, const QString& detail = {}) {
    if (!condition) fail(what, detail);
}

// The process-wide state of a target: the application object (settings, text
// codecs and the like expect one) and a private scratch folder.
// The folder is in memory where the system offers it: saving a file flushes
// it to disk, which would make most of a run's time.
//
// A target makes its session (and whatever holds Qt objects) once and never
// destroys it: at exit Qt's own globals may be gone before it. Only the
// scratch folder is removed then, without Qt.
class Session {
  public:
    // The application keeps the arguments it was given for its whole life,
    // which may be longer than the caller's: it gets a copy of the program name.
    Session(int* argc, char*** argv)
        : m_program(*argc > 0 ? (*argv)[0] : "fuzz"), m_arguments{m_program.data(), nullptr},
          m_app(m_count, m_arguments), m_scratch(scratchTemplate()) {
        check(m_scratch.isValid(), "no scratch folder");
        m_scratch.setAutoRemove(false);
        static std::string folder;
        folder = QFile::encodeName(m_scratch.path()).toStdString();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
    }
    QString path(const QString& name) const { return m_scratch.filePath(name); }
    const QString folder() const { return m_scratch.path(); }

  private:
    static QString scratchTemplate() {
        const QString memory = QStringLiteral("/dev/shm");
        const QString name = QStringLiteral("/ordana-fuzz-XXXXXX");
        return QFileInfo(memory).isDir() && QFileInfo(memory).isWritable() ? memory + name
                                                                           : QDir::tempPath() + name;
    }

    QByteArray m_program;
    int m_count = 1;
    char* m_arguments[2];
    QCoreApplication m_app;
    QTemporaryDir m_scratch;
};

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(),
          "cannot write", path);
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Everything in a folder but the names given, hidden files included.
inline QStringList entriesBesides(const QString& folder, const QStringList& keep) {
    QStringList out;
    for (const QString& name :
         QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (!keep.contains(name)) out << name;
    return out;
}

} // namespace fuzz
