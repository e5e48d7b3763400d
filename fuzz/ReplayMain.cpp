// The fuzz targets' driver in the ordinary build: runs the target on every
// seed file, then on a fixed number of mutations of them. The mutations come
// from a seeded generator, so a run is the same every time and a failing
// input can be written out again with --show.
//
//   target [--runs N] [--seed S] [--max-len N] [--dict FILE] [--show I] PATH…
//
// PATH is a seed file or a folder of them. --show I writes the I-th mutated
// input (0-based) to standard output instead of running anything.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

// splitmix64: small, fast and the same on every platform.
class Random {
  public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 … n-1; n > 0.
    size_t below(size_t n) { return size_t(next() % n); }

  private:
    uint64_t m_state;
};

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A dictionary in libFuzzer's format: one quoted word a line, optionally
// named (name="word"), with \\, \" and \xNN escapes; # starts a comment.
std::vector<Bytes> readDictionary(const std::string& path) {
    std::vector<Bytes> words;
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read the dictionary %s\n", path.c_str());
        std::exit(2);
    }
    std::string line;
    while (std::getline(in, line)) {
        const size_t open = line.find('"');
        const size_t close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open) continue;
        Bytes word;
        for (size_t i = open + 1; i < close; ++i) {
            if (line[i] == '\\' && i + 1 < close) {
                ++i;
                if (line[i] == 'x' && i + 2 < close && hexDigit(line[i + 1]) >= 0 &&
                    hexDigit(line[i + 2]) >= 0) {
                    word.push_back(uint8_t(hexDigit(line[i + 1]) * 16 + hexDigit(line[i + 2])));
                    i += 2;
                    continue;
                }
            }
            word.push_back(uint8_t(line[i]));
        }
        if (!word.empty()) words.push_back(word);
    }
    return words;
}

class Mutator {
  public:
    Mutator(uint64_t seed, size_t maxLength, std::vector<Bytes> dictionary)
        : m_random(seed), m_maxLength(maxLength), m_dictionary(std::move(dictionary)) {}

    Bytes mutate(const std::vector<Bytes>& seeds) {
        Bytes data = seeds[m_random.below(seeds.size())];
        const size_t steps = 1 + m_random.below(4);
        for (size_t i = 0; i < steps; ++i)
            step(data, seeds);
        if (data.size() > m_maxLength) data.resize(m_maxLength);
        return data;
    }

  private:
    size_t position(const Bytes& data) { return m_random.below(data.size() + 1); }

    void step(Bytes& data, const std::vector<Bytes>& seeds) {
        static const uint8_t interesting[] = {0,   '\'', '"',  '[',  ']',  ';',  '*',  '?',
                                              '#', '(',  ')',  ',',  '=',  '\r', '\n', '\t',
                                              ' ', '%',  '\\', 0x7f, 0x80, 0xc3, 0xff};
        switch (m_random.below(9)) {
        case 0: // flip a bit
            if (!data.empty()) data[m_random.below(data.size())] ^= uint8_t(1u << m_random.below(8));
            break;
        case 1: // a byte that means something to the parsers
            if (!data.empty())
                data[m_random.below(data.size())] = interesting[m_random.below(sizeof interesting)];
            break;
        case 2: { // delete a run
            if (data.empty()) break;
            const size_t from = m_random.below(data.size());
            const size_t length = 1 + m_random.below(std::min<size_t>(16, data.size() - from));
            data.erase(data.begin() + long(from), data.begin() + long(from + length));
            break;
        }
        case 3: { // insert random bytes
            const size_t at = position(data);
            const size_t length = 1 + m_random.below(8);
            Bytes add(length);
            for (uint8_t& b : add)
                b = uint8_t(m_random.next());
            data.insert(data.begin() + long(at), add.begin(), add.end());
            break;
        }
        case 4: { // copy a run elsewhere
            if (data.empty()) break;
            const size_t from = m_random.below(data.size());
            const size_t length = 1 + m_random.below(std::min<size_t>(32, data.size() - from));
            const Bytes run(data.begin() + long(from), data.begin() + long(from + length));
            const size_t at = position(data);
            data.insert(data.begin() + long(at), run.begin(), run.end());
            break;
        }
        case 5: // repeat a run many times: deep nesting, long names, long lines
            if (!data.empty()) {
                const size_t from = m_random.below(data.size());
                const size_t length = 1 + m_random.below(std::min<size_t>(8, data.size() - from));
                const Bytes run(data.begin() + long(from), data.begin() + long(from + length));
                const size_t times = 2 + m_random.below(64);
                Bytes add;
                for (size_t i = 0; i < times; ++i)
                    add.insert(add.end(), run.begin(), run.end());
                data.insert(data.begin() + long(from), add.begin(), add.end());
            }
            break;
        case 6:
        case 7: // a dictionary word inserted or written over
            if (!m_dictionary.empty()) {
                const Bytes& word = m_dictionary[m_random.below(m_dictionary.size())];
                const size_t at = position(data);
                if (m_random.below(2) == 0 || at + word.size() > data.size())
                    data.insert(data.begin() + long(at), word.begin(), word.end());
                else
                    std::copy(word.begin(), word.end(), data.begin() + long(at));
            }
            break;
        default: { // splice with another seed
            const Bytes& other = seeds[m_random.below(seeds.size())];
            const size_t keep = position(data);
            const size_t from = m_random.below(other.size() + 1);
            data.resize(keep);
            data.insert(data.end(), other.begin() + long(from), other.end());
            break;
        }
        }
    }

    Random m_random;
    size_t m_maxLength;
    std::vector<Bytes> m_dictionary;
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: target [--runs N] [--seed S] [--max-len N] [--dict FILE] [--show I] PATH...\n");
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    size_t runs = 0, maxLength = 4096;
    uint64_t seed = 1;
    long show = -1;
    std::string dictionary;
    std::vector<std::filesystem::path> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (arg == "--runs")
            runs = std::stoul(value());
        else if (arg == "--seed")
            seed = std::stoull(value());
        else if (arg == "--max-len")
            maxLength = std::stoul(value());
        else if (arg == "--dict")
            dictionary = value();
        else if (arg == "--show")
            show = std::stol(value());
        else if (arg.rfind("--", 0) == 0)
            usage();
        else
            paths.emplace_back(arg);
    }

    // Seeds in name order, so that the mutations are the same on every machine.
    std::vector<std::filesystem::path> files;
    for (const auto& path : paths) {
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else if (std::filesystem::is_regular_file(path)) {
            files.push_back(path);
        } else {
            std::fprintf(stderr, "replay: no such seed file or folder: %s\n", path.c_str());
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<Bytes> seeds;
    for (const auto& file : files)
        seeds.push_back(readFile(file));
    if (seeds.empty()) seeds.emplace_back();

    Mutator mutator(seed, maxLength, dictionary.empty() ? std::vector<Bytes>{} : readDictionary(dictionary));
    if (show >= 0) {
        Bytes data;
        for (long i = 0; i <= show; ++i)
            data = mutator.mutate(seeds);
        std::fwrite(data.data(), 1, data.size(), stdout);
        return 0;
    }

    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    for (size_t i = 0; i < files.size(); ++i) {
        std::fprintf(stderr, "replay: seed %s\n", files[i].c_str());
        LLVMFuzzerTestOneInput(seeds[i].data(), seeds[i].size());
    }
    for (size_t i = 0; i < runs; ++i) {
        const Bytes data = mutator.mutate(seeds);
        // Where to start --show from, should this input fail.
        if (std::getenv("REPLAY_VERBOSE")) std::fprintf(stderr, "replay: mutation %zu\n", i);
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::fprintf(stderr, "replay: %zu seeds and %zu mutations passed\n", files.size(), runs);
    return 0;
}
