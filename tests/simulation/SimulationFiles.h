#pragma once
// A fresh folder for the simulation's files, and the process-wide simulation state
// put back afterwards.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/common/Simulation.h"

namespace SimulationTests {

class SimulationFolder {
public:
    SimulationFolder()
    {
        static int serial = 0;
        path = std::filesystem::temp_directory_path() /
               ("plindor-sim-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        Zant::Simulation().Reset();
        Zant::Simulation().SetFolder(path.string());
    }
    ~SimulationFolder()
    {
        Zant::Simulation().Reset();
        Zant::Simulation().SetFolder(".");
        std::filesystem::remove_all(path);
    }
    // Reads a configuration text and opens the result files.
    void Start(const std::string& config)
    {
        Zant::Simulation().ParseConfig(config, "SIMULATION_CONFIG.txt", false);
        Zant::Simulation().OpenResultFiles();
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(path / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void WriteFile(const std::string& name, const std::string& text) const
    {
        std::ofstream(path / name, std::ios::binary) << text;
    }

    std::filesystem::path path;
};

} // namespace SimulationTests
