// A three-row customer extraction as the extraction dialog builds it,
// (name prefix AND sex) OR closing day, run by ExtractKokyaku against the
// same translated statement stepped directly on SQLite.
#include "BenchData.h"

int main() {
    const int customers = bench::EnvInt("MILVANE_BENCH_CUSTOMERS", 100000);
    bench::FilledData data(customers);
    bench::CompareThreeRowExtraction("extract-3rows-100k", data.db, 5);
    data.db.SaveMLV(true);
    return 0;
}
