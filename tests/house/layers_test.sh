# The layers include downwards only: the show, its pictures and its geometry
# never include the shell that drives them, and the platform layer includes
# none of the program's headers. Prints each include that runs back up.
cd "$(dirname "$0")/../../src" || exit 1
upward=$(grep -rnE '#include "shell/' show assets geometry platform;
         grep -rnE '#include "(show|assets|geometry)/' platform)
[ -z "$upward" ] || { echo "includes that run back up the layers:"; echo "$upward"; exit 1; }
echo "PASS: every include runs down the layers"
