// Keeps the layer non-empty until its first source lands.
