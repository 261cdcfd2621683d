# fish completion for tavufe: commands, each command's options, the values of --type and
# --input-type, and file names with the superfiles first.

# Files whose extension is one of $argv (any case) first, then the others; folders stay so
# that a path can be walked.
function __tavufe_files
    set -l token (commandline -ct)
    set -l first
    set -l rest
    for line in (__fish_complete_path $token)
        # Each line is a path, then a tab and its description.
        set -l path (string split -f1 \t -- $line)
        set -l extension (string lower -- (string match -r '[^./]*$' -- $path))
        if string match -q -- '*/' $path; or contains -- "$extension" $argv
            set -a first $line
        else
            set -a rest $line
        end
    end
    printf '%s\n' $first $rest
end

complete -c tavufe -f
complete -c tavufe -n __fish_use_subcommand -s h -l help -d 'Print the help, then exit'
complete -c tavufe -n __fish_use_subcommand -l version -d 'Print the version, then exit'
complete -c tavufe -n __fish_use_subcommand -a info -d 'Print the report and code groups'
complete -c tavufe -n __fish_use_subcommand -a folders -d 'List the Flex folder records'
complete -c tavufe -n __fish_use_subcommand -a save -d 'Erase folder records, then write OUT'
complete -c tavufe -n __fish_use_subcommand -a verify -d 'Check each FILE'
complete -c tavufe -n __fish_use_subcommand -a diff -d 'Compare OLD with NEW'
complete -c tavufe -n __fish_use_subcommand -a help -d 'Print the overview or one command'
complete -c tavufe -n '__fish_seen_subcommand_from help; and test (count (commandline -opc)) -eq 2' \
    -a 'info folders save verify diff'

set -l files '__fish_seen_subcommand_from info folders save verify; and not __fish_seen_subcommand_from help'
complete -c tavufe -n "$files" -k -a '(__tavufe_files sbf shx)'
complete -c tavufe -n '__fish_seen_subcommand_from diff' -k -a '(__tavufe_files sbf shx smg bin)'

# Flags are not offered again once given. (Options with a value cannot be treated so: once
# such an option's line is off, its value is no longer completed.)
function __tavufe_offers -a commands option
    __fish_seen_subcommand_from (string split ' ' -- $commands)
    and not __fish_contains_opt $option
end

complete -c tavufe -n '__tavufe_offers "info folders save verify diff" help' -s h -l help \
    -d "Print the command's help"
complete -c tavufe -n '__fish_seen_subcommand_from info folders save verify diff' -l input-type \
    -x -a 'sbf shx' -d 'Read the files as this type'
complete -c tavufe -n '__tavufe_offers "info folders verify diff" json' -l json \
    -d 'Print one JSON document'
complete -c tavufe -n '__tavufe_offers "folders save" keep-repeated' -l keep-repeated \
    -d 'Keep folder records that repeat a name'
complete -c tavufe -n '__tavufe_offers "info folders save" rescue' -l rescue \
    -d 'Read past damaged lines and records'
complete -c tavufe -n '__fish_seen_subcommand_from save' -s o -r -k \
    -a '(__tavufe_files shx sbf smg bin)' -d 'The file to write'
complete -c tavufe -n '__fish_seen_subcommand_from save' -l type -x -a 'shx sbf smg bin' \
    -d 'The format of OUT'
complete -c tavufe -n '__fish_seen_subcommand_from save' -l delete-row -x -d 'Erase this row'
complete -c tavufe -n '__fish_seen_subcommand_from save' -l delete-folder -x \
    -d 'Erase the folder of this name'
complete -c tavufe -n '__tavufe_offers save all-matches' -l all-matches \
    -d 'Erase every record a name matches'
complete -c tavufe -n '__tavufe_offers save force' -l force \
    -d 'Save even when the file has problems'
