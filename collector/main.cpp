#include "collector_app.h"
#include "standard_streams.h"

int main(int argc, char** argv) {
    protectStandardStreams();
    int status;
    {
        CollectorApp app;
        status = app.run(argc, argv);
    }
    return status;
}
