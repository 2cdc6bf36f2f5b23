package quillomere.tarvex;

/**
 * A probe group of a genotyping probe set: the lists of one strand.
 */
public class TeskGenotypeProbeGroup extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** GroupIndex: Filled by the native methods. */
    public int GroupIndex;
    /** NumLists: Filled by the native methods. */
    public int NumLists;
    /** Direction: Filled by the native methods. */
    public TARVEX_STRAND_DIRECTION_TYPE Direction;

    /**
     * One probe list of this group.
     *
     * @param index index of the item, from 0
     * @return the list
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskGenotypeProbeList GetProbeListByIndex(int index) throws Exception;

    /**
     * Every probe list of this group.
     *
     * @return the lists, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskGenotypeProbeList[] GetProbeLists() throws Exception;

}
