#include "app/Application.h"

int main(int argc, char** argv)
{
    rm::Application app(argc, argv);
    app.run();
    return 0;
}
