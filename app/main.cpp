#include "adapters/ldap/LdapConnection.h"
#include "app/Application.h"

int main(int argc, char** argv)
{
    rm::LdapConnection::ignoreUserConfiguration();
    rm::Application app(argc, argv);
    app.run();
    return 0;
}
