// A temporary study folder with the engine's tables and hand-made inputs.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace velmora::testing {

class StudyFolder {
public:
    StudyFolder() {
        char pattern[] = "/tmp/velmc-test-XXXXXX";
        path_ = mkdtemp(pattern);
        for (const char* table : {"Water.mix", "Water.xfs", "Mus-XP.dat"}) {
            std::filesystem::copy_file(std::filesystem::path(VELMORA_DATA_DIR) / table, path_ / table);
        }
    }
    ~StudyFolder() { std::filesystem::remove_all(path_); }

    // A spectrum with the given raw intensities by bin, all others 0.
    void writeSpectrum(const std::map<int, double>& intensities) {
        std::string text;
        for (int i = 1; i <= 9; ++i) text += "Test spectrum line " + std::to_string(i) + "\r\n";
        for (int k = 1; k <= 300; ++k) {
            char line[32];
            const auto it = intensities.find(k);
            std::snprintf(line, sizeof line, "%6.1f%9.5f\r\n", 0.5 * k, it == intensities.end() ? 0.0 : it->second);
            text += line;
        }
        write("B_TUBEX.dat", text);
    }

    void writePhantom(const std::string& angle, const std::string& photons, const std::string& name,
                      const std::string& fsd = "55.0", const std::string& fieldSize = "20.0",
                      const std::string& couch = "1.5") {
        write("Phantom.dat", angle + "\r\n100.0\r\n" + fsd + "\r\n" + fieldSize + "\r\n" + couch + "\r\n" + photons +
                                 "\r\n" + name + "\r\n");
    }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    const std::filesystem::path& path() const { return path_; }

    struct Run {
        int status;
        std::string out;
        std::string err;
    };
    // Runs `program` in the folder with no input, as a batch run does.
    Run run(const std::string& program, const std::string& arguments = "") const {
        const std::string command = "cd '" + path_.string() + "' && '" + program + "' " + arguments +
                                    " < /dev/null > stdout.txt 2> stderr.txt";
        const int status = std::system(command.c_str());
        Run result{WEXITSTATUS(status), read("stdout.txt"), read("stderr.txt")};
        std::filesystem::remove(path_ / "stdout.txt");
        std::filesystem::remove(path_ / "stderr.txt");
        return result;
    }

private:
    std::filesystem::path path_;
};

}  // namespace velmora::testing
