#include "collector_app.h"

int main(int argc, char** argv) {
    int status;
    {
        CollectorApp app;
        status = app.run(argc, argv);
    }
    return status;
}
