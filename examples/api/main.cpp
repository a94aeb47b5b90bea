// Runs a two-layer soil and a few days of rain through drainprep in memory:
// no file is read or written, no process started. The soil runs twice: as
// PEDOPRE does, giving the texts of its files, and as numbers.
#include <drainprep/drainprep.h>

#include <iostream>

int main() {
    const std::string soil =
        "Loam over sand\n"
        "2 0\n"
        "3 1.5 30\n0.40 0 0.30 100 0.20 1000\n"
        "3 8.0 200\n0.35 0 0.15 100 0.05 1000\n"
        "30 30 1\n";
    drainprep::Outcome r = drainprep::pedopre({"soil.dat"}, {{"soil.dat", soil}});
    std::cout << "drainprep " << drainprep::version() << "\n";
    std::cout << "PEDOPRE log:" << r.log << "\n";
    if (!r.ok) return 1;
    // The model's soil input file: title, counts, then the tables.
    const std::string& sin = r.files.at("soil.SIN");
    std::cout << "soil.SIN has " << sin.size() << " bytes; its second line: "
              << sin.substr(sin.find('\n') + 1, sin.find('\r', sin.find('\n')) - sin.find('\n') - 1) << "\n";

    // The same soil as numbers: the drained volume and drainable porosity
    // every 10 cm of water-table depth, as the listing file holds them.
    drainprep::SoilTables t = drainprep::soil_tables(soil);
    if (!t.ok) return 1;
    for (const auto& row : t.drainage)
        if (row.depth == 50.0f || row.depth == 100.0f)
            std::cout << "water table " << row.depth << " cm: drained " << row.volume << " cm, porosity "
                      << row.porosity << "\n";
    std::cout << "Green-Ampt A, B at 60 cm: " << t.green_ampt[4].a << ", " << t.green_ampt[4].b << "\n";

    drainprep::Outcome w =
        drainprep::metconv({"rain.dat", "DR", "MM", "4711", "5", "20"}, {{"rain.dat", "1996 1 12.5\n1996 2 0\n"}});
    std::cout << "METCONV log: " << w.log.substr(0, w.log.find_last_not_of(' ') + 1) << "\n";
    std::cout << w.files.at("rain.RAI");
    return w.ok ? 0 : 1;
}
