#include "app/CMainApp.h"

int main(int argc, char** argv)
{
    rm::CMainApp app(argc, argv);
    app.initInstance();
    return 0;
}
