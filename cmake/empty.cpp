// Placeholder so that a folder library without classes still builds.
