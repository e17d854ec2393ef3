#include "cli/CliOptions.h"

namespace rm {

const char* const MainHelp = R"(Usage: rostermill-cli search [OPTIONS] (--user NAME | --group NAME | --builtin-admin)
       rostermill-cli apply [OPTIONS] [COMPUTER\ACCOUNT...]
       rostermill-cli reveal FILE [--computer NAME] [--account NAME]

Finds on which computers of a domain a local account exists (or a local group
has members), and sets its password, renames, enables or disables it there.

Commands:
  search   discover the domain's computers, drop those that do not answer,
           check every one for the account and print the matches
  apply    act on accounts given as arguments, in a file or piped from
           "search --format json", and write the HTML activity log
  reveal   decrypt the generated passwords of a record file or activity
           log with your OpenPGP key and print them

"rostermill-cli COMMAND --help" describes each command's options.

Exit status: 0 all done; 1 some computers failed, or nothing was done;
2 bad usage or input (one line on standard error names the problem).
)";

const char* const SearchHelp = R"(Usage: rostermill-cli search [OPTIONS] (--user NAME | --group NAME | --builtin-admin)

Runs the domain scan, the ping step and the parallel account check of the
desktop program, and prints the matched computers with the columns Computer
Name, Type, User, Enabled, Groups and Password Age, then the counts.
Discovery settings not given here come from the settings file
(~/.config/Korvane/Rostermill.reg), which is never written.

Account:
  --user NAME          the local user to look for
  --group NAME         the local group whose local members to list
  --builtin-admin      the built-in administrator account whatever it is
                       named (the user whose relative identifier is 500);
                       each row shows that computer's own name for it

Discovery:
  --domain NAME        the domain to scan
  --browse             from the browse list
  --directory          from the directory (LDAP)
  --ou UNIT            only below this organizational unit (implies --directory)
  --no-ou              the whole domain
  --servers-only, --no-servers-only
  --hidden, --no-hidden
                       add machine accounts hidden from the list, or not
  --computers FILE     check the computers named in FILE (one a line, - for
                       standard input) instead of scanning a domain
  --ping, --no-ping    drop computers that do not answer, or keep them all
  --alive icmp|smb|both
                       what answering means: an echo reply (icmp, default),
                       a TCP connection on port 445 within 2 seconds (smb),
                       or either (both)

Output:
  --format table|csv|json
                       an aligned table (default), CSV (counts on standard
                       error) or one JSON document that apply reads back
  --all                also list the computers dropped, each with its reason
                       (offline by ping, unreachable, access denied, account
                       not found, ...)
  --timings            the seconds of each step on standard error
  --password-older-than DAYS
                       keep only accounts whose password is older than DAYS
                       days (the ones a rotation is due for)

Credentials (the Kerberos ticket, unless --as names an account):
  --as DOMAIN\USER     the account to act as; its password is asked on the
                       terminal without echo, or read from --as-password-fd
  --as-password-fd N   read that password, one line, from descriptor N
  --no-ntlm            that account reaches a computer by Kerberos only (a
                       ticket made in memory); where Kerberos cannot work the
                       computer is left out with "NTLM refused"
  --allow-simple-bind, --no-allow-simple-bind
                       where Kerberos cannot be used, send that password to
                       the directory as a simple bind, only over TLS to a
                       server whose certificate the system trusts for its
                       name (off unless the settings file says otherwise)

Progress goes to standard error when it is a terminal.
Exit status: 0 every computer was checked; 1 some computer could not be
checked (offline, unreachable, access denied), none was found, or the search
was interrupted; 2 bad usage or input.
)";

const char* const ApplyHelp = R"(Usage: rostermill-cli apply [OPTIONS] [COMPUTER\ACCOUNT...]

Applies the actions to each account, one computer after the other: the
password, then the enabled state, then the name, with the desktop program's
checks, messages and HTML activity log (its path is printed).

Targets (one source):
  COMPUTER\ACCOUNT     arguments (COMPUTER/ACCOUNT too; a bare COMPUTER
                       takes --user)
  --targets FILE       one target a line, or the JSON of search --format
                       json; - for standard input
  (piped)              when standard input is not a terminal and no targets
                       are given, they are read from it
  --user NAME          the account of targets that name only a computer
                       (the built-in administrator, whatever each computer
                       calls it: pipe in "search --builtin-admin --format json")

Actions:
  --set-password       set a new password, read from standard input (one
                       line; asked twice without echo on a terminal) or from
                       --password-fd; never from the command line
  --password-fd N      read the new password, one line, from descriptor N
  --allow-empty-password
                       answer yes to the empty-password warning without a
                       terminal
  --rename NEW         rename the account
  --enable, --disable  enable or disable the account

Generated passwords (each flag overrides the settings file's password options):
  --generate-unique    set a different generated password on each account,
                       each encrypted to the recipients' OpenPGP keys and
                       written to the record before it is set
  --length N           passwords of N characters
  --passphrase WORDS   passphrases of WORDS dictionary words
  --recipient KEY      a key's full fingerprint, or an address whose key is
                       certified in your keyring (repeat for more); the batch
                       refuses unless each names one usable key
  --record FILE        the separate record (new file; default: beside the
                       activity log, when the settings keep one); read it back
                       with "rostermill-cli reveal FILE"

Running:
  --dry-run            print what would be done on which computer; change
                       nothing and write no log
  --yes, -y            do not ask for confirmation (needed without a terminal)
  --log-dir DIR        where the activity log goes (default: the current
                       folder, or the home folder where that is not writable)

Credentials (the Kerberos ticket, unless --as names an account):
  --as DOMAIN\USER     the account to act as; its password is asked on the
                       terminal without echo, or read from --as-password-fd
  --as-password-fd N   read that password, one line, from descriptor N
  --no-ntlm            that account reaches a computer by Kerberos only (a
                       ticket made in memory); where Kerberos cannot work the
                       computer is left out with "NTLM refused"

Exit status: 0 every action succeeded; 1 some action failed, the batch was
interrupted or not confirmed; 2 bad usage or input.
)";

const char* const RevealHelp = R"(Usage: rostermill-cli reveal FILE [OPTIONS]

Reads the generated passwords back from FILE, a password record or an HTML
activity log (- for standard input), each entry decrypted with your own
OpenPGP key through GnuPG's agent, which may ask for its passphrase. Prints
the computer, account, password, the time it was generated and its state:
set, failed, or unknown where the record does not say whether it was set.

  --computer NAME      only this computer's entries (any case)
  --account NAME       only this account's entries (any case)
  --format table|json  an aligned table (default) or one JSON document

Entries that cannot be read are named on standard error.
Exit status: 0 entries were printed and every entry could be read; 1 none
matched or some entry could not be read; 2 bad usage or input.
)";

} // namespace rm
